// Sorting: the three keys in both directions, name order through the locale's
// collation.
#include <gtest/gtest.h>

#include <map>

#include "platform/collate.h"
#include "platform/text.h"
#include "library/sort.h"

using namespace ludexa;

namespace {

GameInfo game(int id, std::string name, std::string createdAt = "") {
    GameInfo g;
    g.id = id, g.name = std::move(name), g.created_at = std::move(createdAt);
    return g;
}

std::vector<int> ids(const std::vector<GameInfo>& games) {
    std::vector<int> out;
    for (const auto& g : games) out.push_back(g.id);
    return out;
}

const Collator& chinese() {
    static const Collator c = Collator::forLocale("zh_CN");
    return c;
}

}  // namespace

TEST(Sort, ComparisonOfEachKey) {
    const std::tuple<GameInfo, GameInfo, int, int> cases[] = {
        {game(1, "", "2024-01-01 10:00"), game(2, "", "2024-01-01 10:00:00"), SortByTime, -1},  // prefix
        {game(7, ""), game(3, ""), 5, 1},                                       // unknown mode: by id
        {game(-2147483647 - 1, ""), game(2147483647, ""), SortById, -1},        // no overflow
        {game(1, "abc"), game(2, "ABC"), SortByName, 0},                        // case ignored
        {game(1, "2048"), game(2, "北京"), SortByName, -1},
    };
    for (const auto& [a, b, mode, expected] : cases) {
        const int v = compareGames(a, b, mode, chinese());
        EXPECT_EQ((v > 0) - (v < 0), expected) << a.name << a.created_at << " / " << b.name << b.created_at;
        // Equal keys put neither first, in either direction.
        EXPECT_EQ(gameComesFirst(a, b, mode, true, chinese()), expected < 0);
        EXPECT_EQ(gameComesFirst(a, b, mode, false, chinese()), expected > 0);
    }
}

TEST(Sort, ListInEachModeAndAfterRenames) {
    std::vector<GameInfo> games{game(1, "中国人", "2023-05-01 08:00:00"), game(2, "Zelda", "2024-02-01 08:00:00"),
                                game(3, "apple", "2022-01-01 08:00:00"), game(4, "阿凡达", "2024-01-01 08:00:00")};
    games[0].play_seconds = 3600, games[0].last_played = "2024-05-01 10:00:00";
    games[2].play_seconds = 5000000000LL, games[2].last_played = "2024-04-30 23:59:59";  // beyond 32 bits
    games[3].play_seconds = 59, games[3].last_played = "2024-05-01 10:00:01";  // game 2 never played
    const std::tuple<int, bool, std::vector<int>> orders[] = {
        {SortById, false, {4, 3, 2, 1}},  // the default: last added first
        {SortByTime, false, {2, 4, 1, 3}},
        {SortByPlayTime, false, {3, 1, 4, 2}},
        {SortByLastPlayed, false, {4, 1, 3, 2}},
        {SortByName, true, {4, 1, 3, 2}},  // 阿 (a), 中 (z), then Latin
        {SortByName, false, {2, 3, 1, 4}},
    };
    for (const auto& [mode, ascending, expected] : orders) {
        sortGameList(games, mode, ascending, chinese());
        EXPECT_EQ(ids(games), expected) << mode << ascending;
    }
    EXPECT_EQ(games[1].play_seconds, 5000000000LL);  // records move whole

    games[0].name = "Aardvark";  // Zelda renamed: its old key must not be reused
    sortGameList(games, SortByName, true, chinese());
    EXPECT_EQ(ids(games), (std::vector<int>{4, 1, 2, 3}));
    games[0].name = "ch", games[1].name = "d";  // nor a key made for another locale
    sortGameList(games, SortByName, true, chinese());
    EXPECT_EQ(ids(games), (std::vector<int>{2, 3, 4, 1}));
    sortGameList(games, SortByName, true, Collator::forLocale("sk"));  // Slovak: ch after h
    EXPECT_EQ(ids(games), (std::vector<int>{2, 3, 1, 4}));
}

// Games added in the same second, or named alike but for case, tie: in either
// direction ties keep the order they had.
TEST(Sort, TiesKeepTheirOrderInBothDirections) {
    const char* names[] = {"Beta", "alpha", "ALPHA", "beta", "Gamma"};
    std::vector<GameInfo> games;  // more than 16, where sorts stop using insertion sort
    for (int i = 0; i < 40; ++i)
        games.push_back(game(100 + i, names[i % 5], "2024-05-0" + std::to_string(1 + i % 3) + " 12:00:00"));
    const Collator broken;  // every comparison fails: all names rank equal and nothing moves
    EXPECT_FALSE(broken.compare(L"a", L"b").has_value());
    for (const auto& [mode, collator] :
         {std::pair{SortByTime, &chinese()}, {SortByName, &chinese()}, {SortByName, &broken}}) {
        for (bool ascending : {true, false}) {
            auto sorted = games;
            sortGameList(sorted, mode, ascending, *collator);
            EXPECT_TRUE(collator != &broken || ids(sorted) == ids(games)) << "a broken collator moved a game";
            for (std::size_t k = 1; k < sorted.size(); ++k) {
                const auto &before = sorted[k - 1], &after = sorted[k];
                EXPECT_FALSE(gameComesFirst(after, before, mode, ascending, *collator)) << mode << ascending << k;
                const bool tie = !gameComesFirst(before, after, mode, ascending, *collator);
                EXPECT_TRUE(!tie || before.id < after.id) << "tie reordered: " << mode << ascending << k;
            }
        }
    }
}

TEST(Sort, CollationLocaleFromTheEnvironment) {
    const std::pair<std::map<std::string, std::string>, const char*> cases[] = {
        {{{"LANG", "zh_CN.UTF-8"}}, "zh_CN"},
        {{{"LANG", "en_US.UTF-8"}, {"LC_COLLATE", "de_DE.UTF-8"}}, "de_DE"},
        {{{"LC_ALL", "sv_SE@euro"}, {"LC_COLLATE", "de_DE"}}, "sv_SE"},
        {{{"LC_ALL", ""}, {"LANG", "fr_FR"}}, "fr_FR"},
        {{{"LANG", "C.UTF-8"}}, "zh_CN"},
        {{}, "zh_CN"},
    };
    for (const auto& [env, expected] : cases) {
        EXPECT_EQ(userCollationLocale([&](const char* name) -> const char* {
                      const auto it = env.find(name);
                      return it == env.end() ? nullptr : it->second.c_str();
                  }),
                  expected);
    }
    EXPECT_EQ(lowerCase(L"ABC ÄÖ Σ 中国 Ａ İ"), L"abc äö σ 中国 ａ i");  // one character for one
}
