// Filtering: category choice, and text and pinyin-initials search.
#include <gtest/gtest.h>

#include "library/filter.h"

using namespace ludexa;

namespace {

using Indices = std::vector<std::size_t>;

std::vector<GameInfo> library() {
    return {
        {.id = 1, .name = "abc Adventure", .category = "ARPG|Action"},       // 0
        {.id = 2, .name = "中国人", .category = "RPG", .is_favorite = true},    // 1
        {.id = 3, .name = "马超传 2", .category = "RPG|Action"},                // 2
        {.id = 4, .name = "Minecraft 2", .category = "Action|RPG|Sandbox"},  // 3
        {.id = 5, .name = "长长长长长长长", .is_favorite = true},                   // 4
        {.id = 6, .name = "行长"},                                             // 5
    };
}

}  // namespace

TEST(Filter, TextInitialsCategoriesAndFavourites) {
    const auto games = library();
    const auto table = buildPolyphoneInitials();
    for (const auto& [query, expected] : std::initializer_list<std::pair<const char*, Indices>>{
             {"", {0, 1, 2, 3, 4, 5}},
             {"ABC", {0}},  // case ignored on both sides
             {"zgr", {1}}, {"GR", {1}}, {"zr", {}}, {"rz", {}}, {"zgrz", {}},  // zgr twice is not zgrzgr
             {"国人", {1}},
             {"中g", {1}},   // no text match; its letter g is in zgr
             {"mc 2", {2}},  // no text match; its letters mc are the initials of 马超
             {"2", {2, 3}},
             // Without Latin letters the initials are never tried (行长 gives hz, 中国人 zgr).
             {"1", {}}, {"知", {}}, {"中人", {}}, {"。", {}},
             {"czzzzzz", {4}}, {"zzzzzzz", {}},  // past the first 64 combinations
         })
        EXPECT_EQ(filterGameIndices(games, 0, {}, query, table), expected) << query;

    const std::tuple<int, std::set<std::string>, const char*, Indices> cases[] = {
        {0, {"RPG"}, "", {1, 2, 3}},  // not inside ARPG
        {0, {"Action"}, "", {0, 2, 3}},
        {0, {"RPG", "Action"}, "", {2, 3}},  // both needed
        {0, {"Act"}, "", {}},
        {0, {"RPG"}, "2", {2, 3}},
        {1, {"Sandbox"}, "", {1, 4}},  // favourites ignore categories
        {-1, {"RPG"}, "", {1, 2, 3}},
    };
    for (const auto& [mode, categories, query, expected] : cases)
        EXPECT_EQ(filterGameIndices(games, mode, categories, query, table), expected) << mode << " " << query;
}

TEST(Filter, RenamedGameIsSearchedByItsNewName) {
    auto games = library();
    const auto table = buildPolyphoneInitials();
    EXPECT_EQ(filterGameIndices(games, 0, {}, "zgr", table), Indices{1});
    games[1].name = "Halo";
    games[0].name = "魔兽世界";
    EXPECT_TRUE(filterGameIndices(games, 0, {}, "zgr", table).empty());
    EXPECT_EQ(filterGameIndices(games, 0, {}, "halo", table), Indices{1});
    EXPECT_EQ(filterGameIndices(games, 0, {}, "mssj", table), Indices{0});
    EXPECT_TRUE(filterGameIndices(games, 0, {}, "czzzzzz", PolyphoneMap{}).empty());  // another table
}
