// Writes a data.db for the start-up measurements: `count` games with realistic
// Chinese, Latin and mixed names, every `iconEvery`-th game with a PNG icon of
// `iconSize` pixels that compresses like real artwork (gradients, shapes and
// a little grain), plus set.ini with a few categories.
//   make_library <folder> <count> <iconEvery> [iconSize]
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "library/database.h"
#include "library/icons.h"

namespace {

const char* const kChinese[] = {"中国", "长安", "仙剑", "奇侠", "传说", "三国", "英雄", "大航海", "时代", "武林",
                                "群侠", "江湖", "天下", "风云", "剑侠", "情缘", "轩辕", "古剑", "侠客", "行",
                                "重装", "机兵", "星露", "谷", "物语", "植物", "僵尸", "模拟", "城市", "赛车"};
const char* const kLatin[] = {"Hollow", "Knight", "Star", "Dew", "Valley", "Dead", "Cells", "Portal", "Factory",
                              "Quest", "Legend", "Saga", "Dragon", "Age", "Shadow", "Tactics", "Racer", "World",
                              "Craft", "Origins", "Remastered", "Edition", "II", "III", "Online", "Zero"};
const char* const kCategories[] = {"动作", "角色扮演", "策略", "休闲", "独立", "射击", "竞速"};

std::string makeName(std::mt19937& rng, int index) {
    std::uniform_int_distribution<int> kind(0, 2), words(1, 3);
    std::string name;
    const int k = kind(rng);
    for (int w = 0, n = words(rng); w < n; ++w) {
        const bool chinese = k == 0 || (k == 2 && w % 2 == 0);
        if (chinese) {
            name += kChinese[rng() % (sizeof kChinese / sizeof *kChinese)];
        } else {
            if (!name.empty()) name += ' ';
            name += kLatin[rng() % (sizeof kLatin / sizeof *kLatin)];
        }
    }
    return name + " " + std::to_string(index);
}

std::vector<unsigned char> makeIcon(std::mt19937& rng, int size) {
    std::vector<unsigned char> rgba(static_cast<std::size_t>(size) * size * 4);
    std::uniform_int_distribution<int> colour(0, 255), grain(-6, 6);
    const int r0 = colour(rng), g0 = colour(rng), b0 = colour(rng);
    const int r1 = colour(rng), g1 = colour(rng), b1 = colour(rng);
    const float cx = size * (0.3f + (rng() % 40) / 100.0f), cy = size * (0.3f + (rng() % 40) / 100.0f);
    const float radius = size * (0.2f + (rng() % 20) / 100.0f);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float t = static_cast<float>(x + y) / (2.0f * size);
            int r = static_cast<int>(r0 + (r1 - r0) * t), g = static_cast<int>(g0 + (g1 - g0) * t),
                b = static_cast<int>(b0 + (b1 - b0) * t);
            if (std::hypot(x - cx, y - cy) < radius) r = 255 - r, g = 255 - g, b = 255 - b;
            auto* p = &rgba[(static_cast<std::size_t>(y) * size + x) * 4];
            p[0] = static_cast<unsigned char>(std::clamp(r + grain(rng), 0, 255));
            p[1] = static_cast<unsigned char>(std::clamp(g + grain(rng), 0, 255));
            p[2] = static_cast<unsigned char>(std::clamp(b + grain(rng), 0, 255));
            p[3] = 255;
        }
    }
    ludexa::RgbaImage image;
    image.width = image.height = size;
    image.pixels = std::move(rgba);
    return ludexa::encodePng(image);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <folder> <count> <iconEvery> [iconSize]\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const int count = std::atoi(argv[2]);
    const int iconEvery = std::atoi(argv[3]);
    const int iconSize = argc > 4 ? std::atoi(argv[4]) : 256;
    const std::string path = folder + "/data.db";
    std::remove(path.c_str());
    if (!ludexa::initDatabase(path)) return 1;
    auto db = ludexa::Database::open(path);
    if (!db || !db->exec("BEGIN")) return 1;
    auto insert = db->prepare(
        "INSERT INTO games (name, exe_path, folder_path, category, icon, created_at, launch_args) "
        "VALUES (?, ?, ?, ?, ?, ?, ?)");
    std::mt19937 rng(12345);
    // A pool of distinct icons, reused round-robin: their sizes are realistic
    // and generating 10,000 distinct ones would only slow the generator.
    std::vector<std::vector<unsigned char>> icons;
    for (int i = 0; i < 64; ++i) icons.push_back(makeIcon(rng, iconSize));
    for (int i = 1; i <= count; ++i) {
        const std::string name = makeName(rng, i);
        const std::string exe = "/opt/games/" + std::to_string(i) + "/run.sh";
        char created[32];
        std::snprintf(created, sizeof created, "20%02d-%02d-%02d %02d:%02d:%02d", 10 + i % 15, 1 + i % 12, 1 + i % 28,
                      i % 24, i % 60, (i * 7) % 60);
        std::string category = kCategories[i % 7];
        if (i % 3 == 0) category += std::string("|") + kCategories[(i + 2) % 7];
        insert->reset()
            .bind(1, std::string_view(name))
            .bind(2, std::string_view(exe))
            .bind(3, std::string_view("/opt/games/" + std::to_string(i)))
            .bind(4, std::string_view(category))
            .bind(6, std::string_view(created))
            .bind(7, std::string_view("--fullscreen"));
        if (iconEvery > 0 && i % iconEvery == 0)
            insert->bindBlob(5, icons[static_cast<std::size_t>(i) % icons.size()]);
        else
            insert->bindNull(5);
        if (!insert->stepDone()) return 1;
    }
    if (!db->exec("COMMIT")) return 1;
    if (FILE* f = std::fopen((folder + "/set.ini").c_str(), "wb")) {
        std::fputs("[Categories]\r\ncategories=动作|角色扮演|策略|休闲|独立|射击|竞速\r\n", f);
        std::fclose(f);
    }
    return 0;
}
