// Resource folders: scanning a game's pictures and description, and creating
// the folders of the listed games.
#include "media/media_folder.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <memory>

#include "app/GameLauncher.h"
#include "media/text_decode.h"
#include "platform/dialogs.h"
#include "platform/files.h"
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
    bool truncated = false;
    std::string text;
    std::size_t budget = kMaxDescriptionBytes;
    for (const auto& name : names) {
        if (!endsWithIgnoringCase(name, ".txt")) continue;
        if (budget == 0) {
            truncated = true;
            break;
        }
        std::string raw;
        const FileRead read = readRegularFile(folder + name, budget, raw);
        if (read == FileRead::Refused) continue;
        anyOpened = true;
        // Each file in its own encoding; the bound holds for the decoded text,
        // which may be half as long again as the bytes it came from.
        DecodedText decoded = decodeTextFile(raw, read == FileRead::Truncated, budget);
        std::string bytes = std::move(decoded.utf8);
        budget -= bytes.size();
        if (read == FileRead::Truncated || decoded.cut) truncated = true;
        std::size_t start = 0;
        while (start < bytes.size()) {
            const auto lf = bytes.find('\n', start);
            std::size_t end = lf == std::string::npos ? bytes.size() : lf;
            // Lines end in LF; a CR right before it belongs to a CR LF pair.
            if (end > start && bytes[end - 1] == '\r') --end;
            if (!text.empty()) text += '\n';
            text.append(bytes, start, end - start);
            if (lf == std::string::npos) break;
            start = lf + 1;
        }
        if (truncated) break;
    }
    if (truncated) text += (text.empty() ? "" : "\n") + std::string(kTruncatedMark);
    if (anyOpened && !text.empty()) scan.description = text;
    return scan;
}

MediaFolderCounts createMediaFolders(const std::string& mediaRootPath, const std::vector<std::string>& names) {
    MediaFolderCounts counts;
    // A fresh folder has no media/ yet; without it every game would fail.
    // When it cannot be made, the games' folders fail and are counted so.
    if (!names.empty() && !mediaRootPath.empty()) {
        const auto root = mediaRootPath.back() == '/' ? mediaRootPath.substr(0, mediaRootPath.size() - 1) : mediaRootPath;
        if (!isDirectory(root)) (void)::mkdir(root.c_str(), 0755);
    }
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
    for (auto index : library.filteredIndices())
        if (index < library.games().size()) names.push_back(library.games()[index].name);
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
                                PictureFormats{settings.fmtJpg, settings.fmtPng, settings.fmtBmp, settings.fmtWebp,
                                               settings.fmtAvif, settings.fmtGif});
    mapFiles = std::move(scan.pictures);
    descriptionText = std::move(scan.description);
    if (!mapFiles.empty()) {
        mapVisible = true;
        loadCurrentMap();
    }
}

}  // namespace ludexa

