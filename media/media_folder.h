// Per-game resource folders under media/: the picture list and the .txt
// description of one game, and the creation of the folders.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace ludexa {

struct PictureFormats {
    bool jpg = true, png = true, bmp = true, webp = true, avif = true, gif = true;
    bool any() const { return jpg || png || bmp || webp || avif || gif; }
};

// A game name can only name a folder inside media/ when it is a single path
// component: not empty, not "." or "..", no "/" and no NUL.
bool isSafeFolderName(const std::string& name);

// mediaRootPath + name + "/", or empty when the name cannot be a folder.
std::string gameMediaFolder(const std::string& mediaRootPath, const std::string& name);

struct MediaScan {
    std::vector<std::string> pictures;  // full paths, byte-wise sorted
    std::string description;            // "暂无介绍" when nothing was read
};

// Lists the pictures (enabled extensions, matched ignoring case) and joins the
// lines of every readable .txt file (file-name order, CR LF read as LF). Only
// regular files are read, and no more than kMaxDescriptionBytes of them.
MediaScan scanMediaFolder(const std::string& folder, const PictureFormats& formats);

struct MediaFolderCounts {
    int processed = 0, created = 0, existing = 0, failed = 0;
};

// Creates mediaRootPath + name for each name, and mediaRootPath itself first
// when it is missing.
MediaFolderCounts createMediaFolders(const std::string& mediaRootPath, const std::vector<std::string>& names);

// The four-line report of createMediaFolders.
std::string mediaFolderReport(const MediaFolderCounts& counts);

inline constexpr const char* kNoDescription = "暂无介绍";

// A description is read up to this many bytes, all .txt files together: far
// more than anyone reads in the text area, little enough for it to lay out.
inline constexpr std::size_t kMaxDescriptionBytes = 2u << 20;
// Ends a description that was cut at that bound.
inline constexpr const char* kTruncatedMark = "(已截断)";

}  // namespace ludexa
