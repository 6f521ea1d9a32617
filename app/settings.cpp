// set.ini format. Numbers are parsed and printed without the C locale's help,
// because GTK switches the process locale and some locales write "0,5".
#include "app/settings.h"

#include "library/sort.h"
#include "platform/files.h"
#include "platform/text.h"
#include "ui/layout.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ludexa {
namespace {

std::string_view skipSpaces(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    return s.substr(i);
}

// Like std::stoi: leading spaces and a sign allowed, stops at the first
// non-digit. Out of range or no digits: nothing.
std::optional<int> parseInt(std::string_view value) {
    auto s = skipSpaces(value);
    bool negative = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    long long result = 0;
    std::size_t digits = 0;
    for (char c : s) {
        if (c < '0' || c > '9') break;
        result = result * 10 + (c - '0');
        if (result > static_cast<long long>(std::numeric_limits<int>::max()) + 1) return std::nullopt;
        ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (negative) result = -result;
    if (result < std::numeric_limits<int>::min() || result > std::numeric_limits<int>::max()) return std::nullopt;
    return static_cast<int>(result);
}

// Like std::stof on a decimal number. Infinities and NaN are refused: a layout
// ratio of "nan" would make every panel size meaningless.
std::optional<float> parseFloat(std::string_view value) {
    auto s = skipSpaces(value);
    if (!s.empty() && s[0] == '+') s.remove_prefix(1);
    float result = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), result, std::chars_format::general);
    if (ec != std::errc() || end == s.data() || !std::isfinite(result)) return std::nullopt;
    return result;
}

std::string fixed(float value, int decimals) {
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (ec != std::errc()) return "0";
    return std::string(buffer, end);
}

const char* flag(bool value) { return value ? "1" : "0"; }

}  // namespace

SettingsReadResult readSettings(std::string_view text, Settings& s, int themeCount) {
    // Editors of the Windows build save with a byte-order mark; left there it
    // would hide the first key.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
    SettingsReadResult result;
    int width = -1, height = -1, x = -1, y = -1;
    std::size_t pos = 0;
    while (pos < text.size()) {
        auto newline = text.find('\n', pos);
        if (newline == std::string_view::npos) newline = text.size();
        auto line = text.substr(pos, newline - pos);
        pos = newline + 1;
        if (line.size() > kMaxSettingsLineBytes) {
            result.lineDropped = true;
            continue;
        }
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line[0] == '[' || line[0] == '#') continue;
        const auto eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        const auto key = line.substr(0, eq);
        const auto value = line.substr(eq + 1);

        if (key == "leftPanelWidthRatio") {
            if (auto v = parseFloat(value)) s.leftPanelWidthRatio = *v;
        } else if (key == "leftTopHeightRatio") {
            if (auto v = parseFloat(value)) s.leftTopHeightRatio = *v;
        } else if (key == "toolbarHeight") {
            // Clamped against the height the window has while the file is read;
            // a windowHeight line only takes effect after the whole file.
            if (auto v = parseFloat(value)) s.toolbarHeight = std::max(30.0f, std::min(*v, 0.3f * s.windowHeight));
        } else if (key == "windowWidth") {
            if (auto v = parseInt(value); v && *v >= 800) width = *v;
        } else if (key == "windowHeight") {
            if (auto v = parseInt(value); v && *v >= 600) height = *v;
        } else if (key == "windowX") {
            if (auto v = parseInt(value)) x = *v;
        } else if (key == "windowY") {
            if (auto v = parseInt(value)) y = *v;
        } else if (key == "windowMaximized") {
            s.windowMaximized = value == "1";
        } else if (key == "iconSize") {
            if (auto v = parseInt(value); v && *v >= 0 && *v <= 5) s.iconSize = *v;
        } else if (key == "themeIndex") {
            if (auto v = parseInt(value); v && *v >= 0 && *v < themeCount) s.themeIndex = *v;
        } else if (key == "useCustomBackground") {
            s.useCustomBackground = value == "1";
        } else if (key == "fontSize") {
            if (auto v = parseInt(value)) s.fontSize = std::max(10, std::min(*v, 24));
        } else if (key == "fontPath") {
            // No file system takes a longer path: such a value is damage.
            if (value.size() <= kMaxFontPathBytes) s.fontPath = utf8ToWstring(value);
        } else if (key == "sortMode") {
            if (auto v = parseInt(value); v && *v >= 0 && *v < kSortModeCount) s.sortMode = *v;
        } else if (key == "sortAscending") {
            s.sortAscending = value == "1";
        } else if (key == "sleepEnabled") {
            s.sleepEnabled = value == "1";
        } else if (key == "sleepAutoMinute") {
            s.sleepAutoMinute = value == "1";
        } else if (key == "sleepOnLaunch") {
            s.sleepOnLaunch = value == "1";
        } else if (key == "fmtJpg") {
            s.fmtJpg = value != "0";
        } else if (key == "fmtPng") {
            s.fmtPng = value != "0";
        } else if (key == "fmtBmp") {
            s.fmtBmp = value != "0";
        } else if (key == "fmtWebp") {
            s.fmtWebp = value != "0";
        } else if (key == "fmtAvif") {
            s.fmtAvif = value != "0";
        } else if (key == "fmtGif") {
            s.fmtGif = value != "0";
        } else if (key == "fullscreen") {
            if (auto v = parseInt(value)) {
                if (*v == 1) s.startFullscreen = true;
                if (*v == 2) s.startFullscreen = true, s.startDisplayMode = 2;
            }
        } else if (key == "gamepadMode") {
            if (auto v = parseInt(value); v && *v >= 1 && *v <= 4) s.gamepadMode = *v;
        } else if (key == "framerate_fps") {
            if (auto v = parseInt(value); v && *v >= 15 && *v <= 500) s.framerate_fps = *v;
        } else if (key == "categories") {
            std::vector<std::string> names;
            std::size_t start = 0;
            while (start <= value.size()) {
                const auto bar = value.find('|', start);
                const auto end = bar == std::string_view::npos ? value.size() : bar;
                // A hand-edited or damaged file may hold a million names or one
                // of megabytes: what is beyond the bounds is dropped here, so it
                // is neither drawn nor written back.
                if (end > start && end - start <= kMaxCategoryNameBytes && names.size() < kMaxCategories)
                    names.emplace_back(value.substr(start, end - start));
                if (bar == std::string_view::npos) break;
                start = bar + 1;
            }
            s.categories = std::move(names);
        }
    }

    if (width > 0 && height > 0) {
        s.windowWidth = static_cast<float>(width);
        s.windowHeight = static_cast<float>(height);
        result.windowSizeGiven = true;
    }
    if (x >= 0 && y >= 0) {
        s.windowX = x;
        s.windowY = y;
    }
    clampLayoutRatios(s);
    return result;
}

void clampLayoutRatios(Settings& s) {
    // Through the drags' own limits, in the window the settings describe. A
    // ratio within them is kept to the bit.
    const auto clampRatio = [](float& ratio, float extent, const auto& clampPixels) {
        if (!(extent > 0)) return;
        const float pixels = ratio * extent;
        const float clamped = clampPixels(pixels);
        if (clamped != pixels) ratio = clamped / extent;
    };
    const float width = s.windowWidth;
    clampRatio(s.leftPanelWidthRatio, width, [width](float v) { return clampLeftPanelWidth(v, width); });
    const float gridTop = s.toolbarHeight + kSplitter;
    const float height = s.windowHeight;
    clampRatio(s.leftTopHeightRatio, height - gridTop,
               [height, gridTop](float v) { return clampPictureHeight(v, height, gridTop); });
}

void boundWindowSize(Settings& s, int screenWidth, int screenHeight) {
    const auto bound = [](float& value, int screen, float minimum) {
        if (screen > 0 && value > static_cast<float>(screen)) value = std::max(minimum, static_cast<float>(screen));
    };
    bound(s.windowWidth, screenWidth, 800.0f);
    bound(s.windowHeight, screenHeight, 600.0f);
}

std::string writeSettings(const Settings& s) {
    std::string out;
    auto line = [&out](std::string_view key, std::string_view value) {
        out.append(key).append("=").append(value).append("\r\n");
    };
    auto number = [&line](std::string_view key, long long value) { line(key, std::to_string(value)); };

    out += "[Layout]\r\n";
    line("leftPanelWidthRatio", fixed(s.leftPanelWidthRatio, 6));
    line("leftTopHeightRatio", fixed(s.leftTopHeightRatio, 6));
    line("toolbarHeight", fixed(s.toolbarHeight, 2));
    number("windowWidth", static_cast<long long>(s.windowWidth));
    number("windowHeight", static_cast<long long>(s.windowHeight));
    number("windowX", s.windowX);
    number("windowY", s.windowY);
    line("windowMaximized", flag(s.windowMaximized));

    out += "\r\n[Appearance]\r\n";
    number("iconSize", s.iconSize);
    number("themeIndex", s.themeIndex);
    line("useCustomBackground", flag(s.useCustomBackground));
    number("fontSize", s.fontSize);
    if (!s.fontPath.empty()) line("fontPath", wstringToUtf8(s.fontPath));

    out += "\r\n[Sort]\r\n";
    number("sortMode", s.sortMode);
    line("sortAscending", flag(s.sortAscending));
    line("sleepEnabled", flag(s.sleepEnabled));
    line("sleepAutoMinute", flag(s.sleepAutoMinute));
    line("sleepOnLaunch", flag(s.sleepOnLaunch));
    line("fmtJpg", flag(s.fmtJpg));
    line("fmtPng", flag(s.fmtPng));
    line("fmtBmp", flag(s.fmtBmp));
    line("fmtWebp", flag(s.fmtWebp));
    line("fmtAvif", flag(s.fmtAvif));
    line("fmtGif", flag(s.fmtGif));
    number("fullscreen", s.fullscreen);
    number("gamepadMode", s.gamepadMode);
    number("framerate_fps", s.framerate_fps);

    out += "\r\n[Categories]\r\n";
    std::string joined;
    for (std::size_t i = 0; i < s.categories.size(); ++i) {
        if (i) joined += '|';
        joined += s.categories[i];
    }
    line("categories", joined);
    return out;
}

SettingsFileRead readSettingsFile(const std::string& path, std::string& text) {
    switch (readRegularFile(path, kMaxSettingsBytes, text)) {
        case FileRead::Whole: return SettingsFileRead::Whole;
        case FileRead::Truncated: {
            // Whole lines only: the last one may have been cut by the bound.
            const auto lastNewline = text.rfind('\n');
            text.resize(lastNewline == std::string::npos ? 0 : lastNewline + 1);
            return SettingsFileRead::Partial;
        }
        case FileRead::Refused: break;
    }
    text.clear();
    struct stat st {};
    return ::stat(path.c_str(), &st) != 0 && errno == ENOENT ? SettingsFileRead::Missing : SettingsFileRead::Partial;
}

static std::string resolveLinkTarget(const std::string& path) {
    std::string current = path;
    // A chain of links is followed to its end; a loop gives up after a while.
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= target.size()) return current;
        target.resize(static_cast<std::size_t>(n));
        if (target.front() != '/') {
            const auto slash = current.find_last_of('/');
            if (slash != std::string::npos) target = current.substr(0, slash + 1) + target;
        }
        current = std::move(target);
    }
    return path;
}

namespace {

// The temporary file of one write: created beside the file it replaces under
// a name nobody could have guessed, removed again unless it was renamed.
class TemporaryFile {
public:
    // O_EXCL with O_NOFOLLOW: a name already taken, by a planted link or FIFO
    // as much as by a file, is never opened, only passed over for another.
    TemporaryFile(const std::string& target, mode_t mode) {
        const auto slash = target.find_last_of('/');
        const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
        const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
        static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
        std::random_device entropy;
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = folder + "." + base + ".";
            for (int i = 0; i < 10; ++i) name += kLetters[entropy() % (sizeof kLetters - 1)];
            fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, mode);
            if (fd_ >= 0) {
                name_ = std::move(name);
                return;
            }
            if (errno != EEXIST) return;
        }
    }
    ~TemporaryFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!name_.empty()) ::unlink(name_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool open() const { return fd_ >= 0; }
    int fd() const { return fd_; }

    bool writeAll(std::string_view bytes) const {
        while (!bytes.empty()) {
            const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
        return ::fsync(fd_) == 0;
    }

    // Closes and renames it to `target`; afterwards there is nothing to remove.
    bool replace(const std::string& target) {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0 || ::rename(name_.c_str(), target.c_str()) != 0) return false;
        name_.clear();
        return true;
    }

private:
    int fd_ = -1;
    std::string name_;
};

}  // namespace

bool writeFileAtomically(const std::string& path, std::string_view contents) {
    // Through a link, the link's target is replaced and the link kept.
    const std::string target = resolveLinkTarget(path);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    // A file the user made read-only stays as it is: the rename below would
    // replace it regardless of its permissions. Nor is anything but a regular
    // file replaced.
    if (exists && (!S_ISREG(existing.st_mode) || (existing.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0))
        return false;
    // A new file gets what the user's umask leaves of rw-rw-rw-, a replaced
    // one keeps its mode.
    TemporaryFile temp(target, 0666);
    if (!temp.open()) return false;
    if (exists) (void)::fchmod(temp.fd(), existing.st_mode & 07777);
    return temp.writeAll(contents) && temp.replace(target);
}

}  // namespace ludexa
