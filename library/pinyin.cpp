// Pinyin initials. The level-1 block of GB2312 (B0A1..D7F9) lists Han
// characters in pinyin order, so a character's GB2312 code tells its initial
// through a table of where each initial's run begins. Characters outside that
// block fall back to a short list of common ones; polyphonic characters come
// from the launcher's own table and contribute every reading.
#include "library/pinyin.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string_view>

#include "platform/codepage.h"

namespace ludexa {
namespace {

// Where each initial's run starts in the level-1 block, then the block's end.
constexpr std::array<unsigned, 24> bounds = {
    0xB0A1, 0xB0C5, 0xB2C1, 0xB4EE, 0xB6EA, 0xB7A2, 0xB8C1, 0xB9FE, 0xBBF7, 0xBFA6, 0xC0AC, 0xC2E8,
    0xC4C3, 0xC5B6, 0xC5BE, 0xC6DA, 0xC8BB, 0xC8F6, 0xCBFA, 0xCDDA, 0xCEF4, 0xD1B9, 0xD4D1, 0xD7FA,
};
// The initial of each run; no syllable starts with i, u or v.
constexpr char initials[] = "ABCDEFGHJKLMNOPQRSTWXYZ";
static_assert(sizeof initials - 1 == bounds.size() - 1);

constexpr wchar_t kHanFirst = 0x4E00;
constexpr wchar_t kHanLast = 0x9FA5;

// Common characters outside the level-1 block. Built once, on first use, and
// kept until the program exits; function-local statics initialise safely
// when several threads reach them at once.
const std::unordered_map<wchar_t, char>& ext() {
    static const std::unordered_map<wchar_t, char> table = {
        {L'镖', 'b'}, {L'镚', 'b'}, {L'镶', 'b'}, {L'霸', 'b'}, {L'鞭', 'b'}, {L'鞃', 'b'}, {L'靚', 'b'},
        {L'霧', 'b'}, {L'雕', 'd'}, {L'階', 'f'}, {L'龟', 'g'}, {L'革', 'g'}, {L'鬼', 'g'}, {L'鼓', 'g'},
        {L'魂', 'h'}, {L'韓', 'h'}, {L'剑', 'j'}, {L'鲸', 'j'}, {L'靖', 'j'}, {L'龙', 'l'}, {L'鲁', 'l'},
        {L'黎', 'l'}, {L'零', 'l'}, {L'鳃', 'l'}, {L'龄', 'l'}, {L'露', 'l'}, {L'霖', 'l'}, {L'魔', 'm'},
        {L'魅', 'm'}, {L'青', 'q'}, {L'韧', 'r'}, {L'鼠', 's'}, {L'涩', 's'}, {L'魏', 'w'}, {L'雾', 'w'},
        {L'鲜', 'x'}, {L'雪', 'x'}, {L'雄', 'x'}, {L'雁', 'y'}, {L'韮', 'y'}, {L'音', 'y'}, {L'雏', 'z'},
    };
    return table;
}

// The initial of a Han character from its GBK code, or from the list above
// when the code lies outside the level-1 block.
char hanInitialFromCodePage(wchar_t ch) {
    const std::string gbk = toGbk(ch);
    if (gbk.size() != 2) return 0;
    const unsigned code = static_cast<unsigned char>(gbk[0]) * 256u + static_cast<unsigned char>(gbk[1]);
    if (code >= bounds.front() && code < bounds.back()) {
        const auto next = std::upper_bound(bounds.begin(), bounds.end(), code);
        const auto k = static_cast<std::size_t>(next - bounds.begin()) - 1;
        return static_cast<char>(initials[k] - 'A' + 'a');
    }
    const auto& extra = ext();
    const auto hit = extra.find(ch);
    return hit == extra.end() ? 0 : hit->second;
}

// The initial of every character of U+4E00..U+9FA5, worked out once (about
// 21,000 conversions, a few milliseconds): a search then costs an array
// lookup per character instead of a code-page conversion.
const std::array<char, kHanLast - kHanFirst + 1>& hanInitials() {
    static const auto table = [] {
        auto t = std::make_unique<std::array<char, kHanLast - kHanFirst + 1>>();
        for (wchar_t ch = kHanFirst; ch <= kHanLast; ++ch) (*t)[static_cast<std::size_t>(ch - kHanFirst)] = hanInitialFromCodePage(ch);
        return t;
    }();
    return *table;
}

}  // namespace

const std::vector<PolyphonePair>& polyphonePairs() {
    static const std::vector<PolyphonePair> pairs = {
        {L'长', "cz"}, {L'重', "cz"}, {L'行', "hx"}, {L'乐', "ly"}, {L'传', "cz"}, {L'弹', "dt"}, {L'得', "dd"},
        {L'地', "dd"}, {L'都', "dd"}, {L'度', "dd"}, {L'发', "ff"}, {L'分', "ff"}, {L'干', "gg"}, {L'给', "gj"},
        {L'管', "gg"}, {L'还', "hh"}, {L'好', "hh"}, {L'和', "hh"}, {L'红', "gh"}, {L'会', "hk"}, {L'几', "jj"},
        {L'假', "jj"}, {L'教', "jj"}, {L'觉', "jj"}, {L'尽', "jj"}, {L'禁', "jj"}, {L'究', "jj"}, {L'看', "kk"},
        {L'空', "kk"}, {L'了', "ll"}, {L'量', "ll"}, {L'统', "ll"}, {L'落', "ll"}, {L'为', "ww"}, {L'相', "xx"},
        {L'省', "sx"}, {L'数', "ss"}, {L'说', "ss"}, {L'要', "yy"}, {L'语', "yy"}, {L'载', "zz"}, {L'着', "zz"},
        {L'正', "zz"}, {L'种', "zc"}, {L'中', "zz"}, {L'转', "zz"}, {L'子', "zz"}, {L'作', "zz"}, {L'朝', "cz"},
        {L'差', "cc"}, {L'参', "cs"}, {L'藏', "cz"}, {L'曾', "cz"}, {L'盛', "cs"}, {L'乘', "cs"}, {L'处', "cc"},
        {L'创', "cc"}, {L'当', "dd"}, {L'倒', "dd"}, {L'调', "dt"}, {L'恶', "ew"}, {L'繁', "fp"}, {L'缝', "ff"},
        {L'供', "gg"}, {L'冒', "gm"}, {L'观', "gg"}, {L'广', "gg"}, {L'横', "hh"}, {L'系', "xj"}, {L'际', "jj"},
        {L'夹', "jg"}, {L'将', "jq"}, {L'解', "jx"}, {L'劲', "jj"}, {L'卷', "jq"}, {L'卡', "kq"}, {L'壳', "kq"},
        {L'累', "ll"}, {L'脉', "mm"}, {L'没', "mm"}, {L'模', "mm"}, {L'难', "nn"}, {L'宁', "nn"}, {L'排', "pp"},
        {L'朴', "pp"}, {L'片', "pp"}, {L'缺', "qq"}, {L'圈', "qq"}, {L'任', "rr"}, {L'撒', "ss"}, {L'似', "ss"},
        {L'塑', "ss"}, {L'霜', "ss"}, {L'吐', "tt"}, {L'涂', "tt"}, {L'外', "ww"}, {L'万', "wm"}, {L'鲜', "xx"},
        {L'降', "jx"}, {L'血', "xx"}, {L'兴', "xx"}, {L'宿', "sx"}, {L'穴', "xx"}, {L'燕', "yy"}, {L'毅', "yy"},
        {L'遗', "yw"}, {L'应', "yy"}, {L'与', "yy"}, {L'员', "yy"}, {L'约', "yy"}, {L'择', "zz"}, {L'扎', "zz"},
        {L'站', "zz"}, {L'折', "zs"}, {L'占', "zz"}, {L'治', "zz"}, {L'属', "sz"},
    };
    return pairs;
}

PolyphoneMap buildPolyphoneInitials(const std::vector<PolyphonePair>& pairs) {
    PolyphoneMap map;
    map.reserve(pairs.size());
    for (const auto& [ch, letters] : pairs) map.emplace(ch, letters);  // emplace keeps the first
    return map;
}

PolyphoneMap buildPolyphoneInitials() { return buildPolyphoneInitials(polyphonePairs()); }

char getPinyinInitial(wchar_t ch) {
    if (ch >= kHanFirst && ch <= kHanLast) return hanInitials()[static_cast<std::size_t>(ch - kHanFirst)];
    if (ch >= L'A' && ch <= L'Z') return static_cast<char>(ch - L'A' + 'a');
    if (ch >= L'a' && ch <= L'z') return static_cast<char>(ch);
    return 0;
}

std::vector<std::string> getPinyinInitials(const std::wstring& name, const PolyphoneMap& polyphones) {
    constexpr std::size_t kMaxCombinations = 64;
    std::vector<std::string> list(1);
    std::vector<std::string> next;
    for (wchar_t ch : name) {
        std::string_view letters;
        char single = 0;
        if (const auto hit = polyphones.find(ch); hit != polyphones.end()) {
            letters = hit->second;
        } else if ((single = getPinyinInitial(ch)) != 0) {
            letters = std::string_view(&single, 1);
        }
        if (letters.empty()) continue;
        if (letters.size() == 1) {
            for (auto& s : list) s.push_back(letters[0]);
            continue;
        }
        next.clear();
        for (const auto& prefix : list) {
            for (char letter : letters) {
                if (next.size() == kMaxCombinations) break;
                next.push_back(prefix + letter);
            }
            if (next.size() == kMaxCombinations) break;
        }
        list.swap(next);
    }
    return list;
}

}  // namespace ludexa
