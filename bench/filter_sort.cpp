// Filtering and sorting a large library of generated names: Chinese, Latin
// and mixed, as a real collection holds them.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

#include "library/filter.h"
#include "library/sort.h"
#include "platform/text.h"

using namespace ludexa;

namespace {

const wchar_t kHan[] =
    L"中国人大战神传说三国志仙剑奇侠传侠盗猎车手魔兽世界英雄联盟长行重乐地都发分干好和会几看空了"
    L"量为相数说要正种转子作朝差参藏曾处创当调系将解卡累没模难宁朴片任似外万鲜降血兴宿应与约"
    L"天地玄黄宇宙洪荒日月盈昃辰宿列张寒来暑往秋收冬藏闰余成岁律吕调阳云腾致雨露结为霜金生丽水"
    L"龙鲸魔镖雪雄音青鬼剑魂零";
const char* const kWords[] = {"Super", "Mario", "Final", "Fantasy", "Legend", "of", "Zelda", "Dark", "Souls",
                              "Halo", "Grand", "Theft", "Auto", "Street", "Fighter", "Age", "Empires", "Civilization",
                              "Portal", "Half-Life", "Resident", "Evil", "Metal", "Gear", "Solid", "Tomb", "Raider"};
const char* const kSuffixes[] = {"", " 2", " III", " VII", " Remastered", " HD", " 2077", ": Origins"};
const char* const kCategories[] = {"RPG", "ARPG", "Action", "Strategy", "Puzzle", "Racing", "Shooter"};

std::string hanName(std::mt19937& rng) {
    std::uniform_int_distribution<std::size_t> len(2, 8), pick(0, std::size(kHan) - 2);
    std::wstring w;
    for (auto n = len(rng); n > 0; --n) w.push_back(kHan[pick(rng)]);
    return wstringToUtf8(w);
}

std::string latinName(std::mt19937& rng) {
    std::uniform_int_distribution<std::size_t> len(1, 4), word(0, std::size(kWords) - 1),
        suffix(0, std::size(kSuffixes) - 1);
    std::string s;
    for (auto n = len(rng); n > 0; --n) s += (s.empty() ? "" : " ") + std::string(kWords[word(rng)]);
    return s + kSuffixes[suffix(rng)];
}

std::vector<GameInfo> makeLibrary(std::size_t count) {
    std::mt19937 rng(20240601);
    std::uniform_int_distribution<int> kind(0, 2), cat(0, std::size(kCategories) - 1), day(1, 28);
    std::vector<GameInfo> games(count);
    for (std::size_t i = 0; i < count; ++i) {
        auto& g = games[i];
        g.id = static_cast<std::int64_t>(i + 1);
        switch (kind(rng)) {
        case 0: g.name = hanName(rng); break;
        case 1: g.name = latinName(rng); break;
        default: g.name = hanName(rng) + " " + latinName(rng); break;
        }
        g.category = std::string(kCategories[cat(rng)]) + "|" + kCategories[cat(rng)];
        g.created_at = "2024-05-" + std::to_string(10 + day(rng)) + " 12:00:00";
        g.is_favorite = i % 7 == 0;
    }
    return games;
}

const char* const kQueries[] = {"zg", "中", "mario", "2", "qxz", ""};

// A keystroke: names were searched before, so their keys are ready.
void BM_Filter(benchmark::State& state) {
    const auto games = makeLibrary(static_cast<std::size_t>(state.range(0)));
    const auto table = buildPolyphoneInitials();
    const std::string query = kQueries[state.range(1)];
    filterGameIndices(games, 0, {}, query, table);
    std::size_t matches = 0;
    for (auto _ : state) {
        auto result = filterGameIndices(games, 0, {}, query, table);
        matches = result.size();
        benchmark::DoNotOptimize(result.data());
    }
    state.SetLabel("query \"" + query + "\", " + std::to_string(matches) + " matches");
}
BENCHMARK(BM_Filter)->ArgsProduct({{10000, 100000}, {0, 1, 2, 3, 4, 5}})->Unit(benchmark::kMillisecond);

// The first keystroke after the library loaded: every key is made on the way.
void BM_FilterFirstSearch(benchmark::State& state) {
    auto games = makeLibrary(static_cast<std::size_t>(state.range(0)));
    const auto table = buildPolyphoneInitials();
    filterGameIndices(games, 0, {}, "x", table);  // one-time tables, not part of a keystroke
    for (auto _ : state) {
        state.PauseTiming();
        for (auto& g : games) g.nameKeys = NameKeys{};
        state.ResumeTiming();
        benchmark::DoNotOptimize(filterGameIndices(games, 0, {}, "zg", table).data());
    }
}
BENCHMARK(BM_FilterFirstSearch)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Sorting a shuffled library; range(1) = 1 drops the collation keys first.
void BM_Sort(benchmark::State& state) {
    auto games = makeLibrary(static_cast<std::size_t>(state.range(0)));
    const int mode = static_cast<int>(state.range(1));
    const bool coldKeys = state.range(2) != 0;
    const auto names = Collator::forLocale("zh_CN");
    std::mt19937 rng(7);
    sortGameList(games, mode, true, names);
    for (auto _ : state) {
        state.PauseTiming();
        std::shuffle(games.begin(), games.end(), rng);
        if (coldKeys)
            for (auto& g : games) g.nameKeys = NameKeys{};
        state.ResumeTiming();
        sortGameList(games, mode, true, names);
    }
}
BENCHMARK(BM_Sort)
    ->Args({100000, SortByName, 0})
    ->Args({100000, SortByName, 1})
    ->Args({100000, SortByTime, 0})
    ->Args({100000, SortById, 0})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
