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
        {game(1, "", "2024-01-01 10:00:00"), game(2, "", "2024-01-02 09:00:00"), SortByTime, -1},
        {game(1, "", "2024-01-01 10:00"), game(2, "", "2024-01-01 10:00:00"), SortByTime, -1},  // prefix
        {game(1, "", "2024-01-01 10:00:00"), game(2, "", "2024-01-01 10:00:00"), SortByTime, 0},
        {game(7, ""), game(3, ""), 5, 1},                                       // unknown mode: by id
        {game(-2147483647 - 1, ""), game(2147483647, ""), SortById, -1},        // no overflow
        {game(1, "apple"), game(2, "Zelda"), SortByName, -1},                   // case ignored
        {game(1, "abc"), game(2, "ABC"), SortByName, 0},
        {game(1, "阿凡达"), game(2, "中国人"), SortByName, -1},                  // pinyin a before z
        {game(1, "2048"), game(2, "北京"), SortByName, -1},
        {game(1, "北京"), game(2, "Apple"), SortByName, -1},
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
    std::vector<GameInfo> games;
    games.push_back(game(1, "中国人", "2023-05-01 08:00:00"));
    games.push_back(game(2, "Zelda", "2024-02-01 08:00:00"));
    games.push_back(game(3, "apple", "2022-01-01 08:00:00"));
    games.push_back(game(4, "阿凡达", "2024-01-01 08:00:00"));
    games[2].category = "RPG";

    sortGameList(games, SortById, false, chinese());
    EXPECT_EQ(ids(games), (std::vector<int>{4, 3, 2, 1}));  // the default: last added first
    EXPECT_EQ(games[1].category, "RPG");                     // records move whole
    sortGameList(games, SortByTime, false, chinese());
    EXPECT_EQ(ids(games), (std::vector<int>{2, 4, 1, 3}));
    sortGameList(games, SortByName, true, chinese());
    EXPECT_EQ(ids(games), (std::vector<int>{4, 1, 3, 2}));  // 阿 (a), 中 (z), then Latin
    sortGameList(games, SortByName, false, chinese());
    EXPECT_EQ(ids(games), (std::vector<int>{2, 3, 1, 4}));

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
    for (int mode : {SortByTime, SortByName}) {
        for (bool ascending : {true, false}) {
            auto sorted = games;
            sortGameList(sorted, mode, ascending, chinese());
            for (std::size_t k = 1; k < sorted.size(); ++k) {
                const auto &before = sorted[k - 1], &after = sorted[k];
                EXPECT_FALSE(gameComesFirst(after, before, mode, ascending, chinese())) << mode << ascending << k;
                const bool tie = !gameComesFirst(before, after, mode, ascending, chinese());
                EXPECT_TRUE(!tie || before.id < after.id) << "tie reordered: " << mode << ascending << k;
            }
        }
    }
}

TEST(Sort, ByTimePlayedAndByLastPlayed) {
    std::vector<GameInfo> games;
    for (int id = 1; id <= 4; ++id) games.push_back(game(id, "g"));
    games[0].play_seconds = 3600, games[0].last_played = "2024-05-01 10:00:00";
    games[1].play_seconds = 0;  // never played: no last_played
    games[2].play_seconds = 5000000000LL, games[2].last_played = "2024-04-30 23:59:59";  // beyond 32 bits
    games[3].play_seconds = 59, games[3].last_played = "2024-05-01 10:00:01";
    sortGameList(games, SortByPlayTime, false, chinese());
    EXPECT_EQ(ids(games), (std::vector<int>{3, 1, 4, 2}));
    sortGameList(games, SortByPlayTime, true, chinese());
    EXPECT_EQ(ids(games), (std::vector<int>{2, 4, 1, 3}));
    sortGameList(games, SortByLastPlayed, false, chinese());
    EXPECT_EQ(ids(games), (std::vector<int>{4, 1, 3, 2}));
}

TEST(Sort, UnusableCollatorKeepsTheOrder) {
    // Every comparison fails: the names rank equal and nothing moves, rather
    // than an order that contradicts itself.
    std::vector<GameInfo> games;
    for (int id = 1; id <= 50; ++id) games.push_back(game(id, std::to_string(51 - id)));
    const Collator broken;
    EXPECT_FALSE(broken.compare(L"a", L"b").has_value());
    sortGameList(games, SortByName, true, broken);
    for (int id = 1; id <= 50; ++id) EXPECT_EQ(games[static_cast<std::size_t>(id - 1)].id, id);
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
