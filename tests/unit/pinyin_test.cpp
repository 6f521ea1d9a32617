// Pinyin initials: the one-character lookup, the polyphone table and the
// combinations a name yields.
#include <gtest/gtest.h>

#include "library/pinyin.h"

using namespace ludexa;

TEST(Pinyin, SingleCharacters) {
    const std::pair<wchar_t, char> cases[] = {
        {L'啊', 'a'}, {L'座', 'z'},  // first and last codes of the level-1 block (B0A1, D7F9)
        {L'哦', 'o'},                // the short O run
        {L'亍', 0},                  // first code of level 2 (D8A1), not in the extra list
        {L'镖', 'b'},                // level 2, in the extra list
        {L'丂', 0},                  // GBK extension, below the block
        {L'Q', 'q'}, {L'q', 'q'}, {L'7', 0}, {L' ', 0}, {L'Ａ', 0}, {L'é', 0}, {L'ア', 0}, {L'😀', 0},
    };
    for (const auto& [ch, expected] : cases) EXPECT_EQ(getPinyinInitial(ch), expected) << "U+" << std::hex << int(ch);
}

TEST(Pinyin, PolyphoneTableKeepsTheFirstListing) {
    const auto table = buildPolyphoneInitials();
    EXPECT_EQ(table.size(), 117u);
    EXPECT_EQ(table.at(L'长'), "cz");
    EXPECT_EQ(table.at(L'属'), "sz");
    const auto map = buildPolyphoneInitials({{L'了', "ll"}, {L'系', "xj"}, {L'了', "le"}});
    EXPECT_EQ(map.size(), 2u);
    EXPECT_EQ(map.at(L'了'), "ll");
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
}
