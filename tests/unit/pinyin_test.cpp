// Pinyin initials: the one-character lookup, the polyphone table and the
// combinations a name yields.
#include <gtest/gtest.h>

#include <map>

#include "library/pinyin.h"
#include "platform/codepage.h"
#include "platform/text.h"

using namespace ludexa;

TEST(Pinyin, SingleCharacters) {
    const std::pair<wchar_t, char> cases[] = {
        {L'座', 'z'},                // last code of the level-1 block (D7F9)
        {L'亍', 0},                  // first code of level 2 (D8A1), not in the extra list
        {L'镖', 'b'},                // level 2, in the extra list
        {L'丂', 0},                  // GBK extension, below the block
        {L'Q', 'q'}, {L'q', 'q'}, {L'7', 0}, {L' ', 0}, {L'Ａ', 0}, {L'é', 0}, {L'ア', 0}, {L'😀', 0},
    };
    for (const auto& [ch, expected] : cases) EXPECT_EQ(getPinyinInitial(ch), expected) << "U+" << std::hex << int(ch);
}

// The first character of each initial's run in the pinyin-ordered GB2312
// block, a to z without i, u and v; the character coded just before it ends
// the previous run.
TEST(Pinyin, EveryInitialAtBothEndsOfItsRun) {
    const char* firsts[] = {"啊", "芭", "擦", "搭", "蛾", "发", "噶", "哈", "击", "喀", "垃", "妈",
                            "拿", "哦", "啪", "期", "然", "撒", "塌", "挖", "昔", "压", "匝"};
    const std::string letters = "abcdefghjklmnopqrstwxyz";
    auto code = [](wchar_t ch) {
        const auto gbk = toGbk(ch);
        return gbk.size() == 2 ? static_cast<unsigned char>(gbk[0]) * 256u + static_cast<unsigned char>(gbk[1]) : 0u;
    };
    std::map<unsigned, wchar_t> byCode;
    for (wchar_t ch = 0x4E00; ch <= 0x9FA5; ++ch) byCode[code(ch)] = ch;
    for (std::size_t k = 0; k < letters.size(); ++k) {
        const wchar_t first = utf8ToWstring(firsts[k]).at(0);
        EXPECT_EQ(getPinyinInitial(first), letters[k]) << firsts[k];
        if (k > 0) {
            EXPECT_EQ(getPinyinInitial(byCode.at(code(first) - 1)), letters[k - 1]) << "before " << firsts[k];
        }
    }
}

TEST(Pinyin, CombinationsOfAName) {
    const auto table = buildPolyphoneInitials();
    using List = std::vector<std::string>;
    const std::pair<std::wstring, List> cases[] = {
        {L"中国人", {"zgr", "zgr"}},  // 中 is listed with zz
        {L"行长", {"hc", "hz", "xc", "xz"}},
        {L"Halo 3: ODST", {"haloodst"}},
        {L"鲜", {"x", "x"}},  // the polyphone table comes before the extra list
        {L"2077 ！", {""}},
    };
    for (const auto& [name, expected] : cases) EXPECT_EQ(getPinyinInitials(name, table), expected);

    // 2^7 combinations of c and z; the first 64 are those that begin with c,
    // and a further plain character extends each of them.
    const auto capped = getPinyinInitials(L"长长长长长长长人", table);
    ASSERT_EQ(capped.size(), 64u);
    EXPECT_EQ(capped.front(), "cccccccr");
    EXPECT_EQ(capped.back(), "czzzzzzr");

    // A character listed twice in the polyphone table keeps its first listing.
    const auto map = buildPolyphoneInitials({{L'了', "ll"}, {L'系', "xj"}, {L'了', "le"}});
    EXPECT_EQ(map.size(), 2u);
    EXPECT_EQ(map.at(L'了'), "ll");
}
