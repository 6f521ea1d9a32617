// Times the import of a folder of .desktop shortcuts into a fresh data.db;
// prints the milliseconds.
//   import_desktop <work folder> <count>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "library/database.h"
#include "library/import.h"
#include "platform/icons.h"

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    const std::filesystem::path work = argv[1];
    const int count = std::atoi(argv[2]);
    std::filesystem::remove_all(work);
    std::filesystem::create_directories(work / "shortcuts");
    for (int i = 0; i < count; ++i) {
        std::ofstream(work / "shortcuts" / ("game " + std::to_string(i) + ".desktop"))
            << "[Desktop Entry]\nType=Application\nName=游戏 " << i << "\nExec=/bin/true --game " << i
            << "\nIcon=applications-games\n";
    }
    const auto db = (work / "data.db").string();
    if (!ludexa::initDatabase(db)) return 1;
    const auto icons = ludexa::makeIconLoader();
    const auto start = std::chrono::steady_clock::now();
    const auto added = ludexa::importShortcutFolder((work / "shortcuts").string(), db, *icons).games;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    if (static_cast<int>(added.size()) != count) return 1;
    std::printf("%lld\n", static_cast<long long>(ms));
    return 0;
}
