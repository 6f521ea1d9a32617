// Resource folders: scanning a game's pictures and description, and creating
// the folders of the listed games.
#include "media/media_folder.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <memory>

#include "app/GameLauncher.h"
#include "platform/dialogs.h"
#include "platform/paths.h"

namespace ludexa {
namespace {

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};

bool endsWithIgnoringCase(const std::string& name, const std::string& suffix) {
    if (name.size() < suffix.size()) return false;
    return std::equal(suffix.rbegin(), suffix.rend(), name.rbegin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

// Regular files (and links to them) directly in the folder.
std::vector<std::string> listFiles(const std::string& folder) {
    std::vector<std::string> names;
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir) return names;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        struct stat st {};
        if (stat((folder + name).c_str(), &st) != 0 || S_ISDIR(st.st_mode)) continue;
        names.push_back(name);
    }
    return names;
}

}  // namespace

bool isSafeFolderName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

std::string gameMediaFolder(const std::string& mediaRootPath, const std::string& name) {
    return isSafeFolderName(name) ? mediaRootPath + name + "/" : std::string();
}

MediaScan scanMediaFolder(const std::string& folder, const PictureFormats& formats) {
    MediaScan scan;
    scan.description = kNoDescription;
    if (folder.empty() || !isDirectory(folder)) return scan;
    auto names = listFiles(folder);
    std::sort(names.begin(), names.end());

    const std::pair<bool, const char*> extensions[] = {
        {formats.jpg, ".jpg"}, {formats.jpg, ".jpeg"}, {formats.png, ".png"}, {formats.bmp, ".bmp"},
        {formats.webp, ".webp"}, {formats.avif, ".avif"}, {formats.gif, ".gif"},
    };
    for (const auto& [enabled, extension] : extensions) {
        if (!enabled) continue;
        for (const auto& name : names)
            if (endsWithIgnoringCase(name, extension)) scan.pictures.push_back(folder + name);
    }
    std::sort(scan.pictures.begin(), scan.pictures.end());

    bool anyOpened = false;
    std::string text;
    for (const auto& name : names) {
        if (!endsWithIgnoringCase(name, ".txt")) continue;
        std::ifstream in(folder + name, std::ios::binary);
        if (!in) continue;
        anyOpened = true;
        std::string line;
        while (std::getline(in, line)) {
            // Lines end in LF; a CR right before it belongs to a CR LF pair.
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!text.empty()) text += '\n';
            text += line;
        }
    }
    if (anyOpened && !text.empty()) scan.description = text;
    return scan;
}

MediaFolderCounts createMediaFolders(const std::string& mediaRootPath, const std::vector<std::string>& names) {
    MediaFolderCounts counts;
    for (const auto& name : names) {
        ++counts.processed;
        const auto folder = gameMediaFolder(mediaRootPath, name);
        if (folder.empty()) {
            ++counts.failed;
            continue;
        }
        const auto path = folder.substr(0, folder.size() - 1);
        if (isDirectory(path)) {
            ++counts.existing;
        } else if (::mkdir(path.c_str(), 0755) == 0) {
            ++counts.created;
        } else {
            ++counts.failed;
        }
    }
    return counts;
}

std::string mediaFolderReport(const MediaFolderCounts& c) {
    return "已处理" + std::to_string(c.processed) + "个游戏\n" + "新创建" + std::to_string(c.created) + "个目录\n" +
           "已存在" + std::to_string(c.existing) + "个目录\n" + "失败" + std::to_string(c.failed) + "个";
}

void GameLauncher::createMediaDirectories() {
    std::vector<std::string> names;
    for (auto index : filteredIndices)
        if (index < games.size()) names.push_back(games[index].name);
    const auto counts = createMediaFolders(mediaRoot(), names);
    showMessageBox({mediaFolderReport(counts), "生成资源目录完成", MessageIcon::Information, MessageButtons::Ok, 0});
    discardInputAfterModal();
}

void GameLauncher::scanGameMediaFolder(const std::string& name) {
    mapFiles.clear();
    clearPreview();
    descriptionText = kNoDescription;
    currentMapIndex = 0;
    mapVisible = false;
    if (name.empty()) return;
    auto scan = scanMediaFolder(gameMediaFolder(mediaRoot(), name),
                                PictureFormats{fmtJpg, fmtPng, fmtBmp, fmtWebp, fmtAvif, fmtGif});
    mapFiles = std::move(scan.pictures);
    descriptionText = std::move(scan.description);
    if (!mapFiles.empty()) {
        mapVisible = true;
        loadCurrentMap();
    }
}

}  // namespace ludexa

