// Reading .desktop launchers with GLib's key-file parser and shell quoting,
// and Windows .lnk shell links with liblnk. Both readers work on the file's
// bytes in memory, read once with a size limit, so a bad file costs at most
// one bounded read and the fuzzers exercise exactly the code the import runs.
#include "platform/shortcuts.h"
#include "platform/linux/unique_fd.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <glib.h>

// Debian's liblnk-dev announces a libbfio interface whose header it does not
// ship (libbfio-dev is a separate package). Nothing here opens links through
// libbfio, so the header is read as on a system without it.
#define WINAPI
#include <liblnk.h>
#undef WINAPI

#include <algorithm>
#include <cstring>
#include <memory>

namespace ludexa {
namespace {

struct GFreeDeleter {
    void operator()(gpointer p) const { g_free(p); }
};
using GCharPtr = std::unique_ptr<gchar, GFreeDeleter>;

struct KeyFileDeleter {
    void operator()(GKeyFile* k) const { g_key_file_free(k); }
};

struct StrvDeleter {
    void operator()(gchar** v) const { g_strfreev(v); }
};



bool endsWithNoCase(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size()) return false;
    return g_ascii_strncasecmp(text.data() + text.size() - suffix.size(), suffix.data(), suffix.size()) == 0;
}

// Text stored in the library is UTF-8: a file name or link string with bad
// bytes gets U+FFFD in their place.
std::string validUtf8(std::string_view text) {
    if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) return std::string(text);
    GCharPtr fixed(g_utf8_make_valid(text.data(), static_cast<gssize>(text.size())));
    return fixed ? std::string(fixed.get()) : std::string();
}

// Folder part of a path: up to, not including, the last "\" or "/".
std::string folderOf(const std::string& path) {
    const auto sep = path.find_last_of("\\/");
    if (sep == std::string::npos) return {};
    if (sep == 0) return path.substr(0, 1);  // a program directly in "/"
    return path.substr(0, sep);
}

std::string fileStem(std::string_view fileName, std::size_t extensionLength) {
    if (fileName.size() <= extensionLength) return validUtf8(fileName);
    return validUtf8(fileName.substr(0, fileName.size() - extensionLength));
}

// ---------------------------------------------------------------------------
// .desktop

constexpr const char* kGroup = G_KEY_FILE_DESKTOP_GROUP;

std::optional<std::string> keyString(GKeyFile* keys, const char* key, bool localised = false) {
    GCharPtr value(localised ? g_key_file_get_locale_string(keys, kGroup, key, nullptr, nullptr)
                             : g_key_file_get_string(keys, kGroup, key, nullptr));
    if (!value) return std::nullopt;
    return std::string(value.get());
}

// A display name on one line: control characters become spaces, and outer
// spaces go.
std::string cleanName(std::string name) {
    for (auto& c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    const auto first = name.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    const auto last = name.find_last_not_of(' ');
    return name.substr(first, last - first + 1);
}

bool isAssignment(const std::string& word) {
    const auto eq = word.find('=');
    if (eq == std::string::npos || eq == 0) return false;
    if (!(g_ascii_isalpha(word[0]) || word[0] == '_')) return false;
    for (std::size_t i = 1; i < eq; ++i)
        if (!(g_ascii_isalnum(word[i]) || word[i] == '_')) return false;
    return true;
}

std::string baseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// `env [options] NAME=value... program args`: the position of the program,
// or 0 when the words do not start with env, or nullopt for an env that
// starts nothing (it would only print the environment).
std::optional<std::size_t> programAfterEnv(const std::vector<std::string>& words) {
    if (baseName(words[0]) != "env") return 0;
    std::size_t i = 1;
    while (i < words.size() && words[i].size() > 1 && words[i][0] == '-') {
        const auto& option = words[i];
        if (option == "--") {
            ++i;
            break;
        }
        const bool takesValue = option == "-u" || option == "--unset" || option == "-C" || option == "--chdir" ||
                                option == "-S" || option == "--split-string";
        i += takesValue ? 2 : 1;
    }
    while (i < words.size() && isAssignment(words[i])) ++i;
    if (i >= words.size()) return std::nullopt;
    return i;
}

// A program word made absolute: names are looked up on PATH, relative paths
// are taken from the entry's working folder; what cannot be resolved stays as
// written and is looked up again when the game starts.
std::string resolveProgram(const std::string& word, const std::string& workingFolder) {
    if (word.empty() || word[0] == '/') return word;
    if (word.find('/') != std::string::npos) {
        if (workingFolder.empty() || workingFolder[0] != '/') return word;
        std::string relative = word;
        while (relative.rfind("./", 0) == 0) relative.erase(0, 2);
        return (workingFolder == "/" ? std::string() : workingFolder) + "/" + relative;
    }
    GCharPtr found(g_find_program_in_path(word.c_str()));
    if (found && found.get()[0] == '/') return found.get();
    return word;
}

std::optional<IconSource> iconFromKey(const std::string& value) {
    if (value.empty()) return std::nullopt;
    if (value[0] == '/') return IconSource{IconSource::Kind::ImageFile, value};
    if (value.find('/') != std::string::npos) return std::nullopt;  // relative paths are not icon names
    std::string name = value;
    for (const char* ext : {".png", ".svg", ".xpm"})
        if (endsWithNoCase(name, ext) && name.size() > 4) name.resize(name.size() - 4);
    return IconSource{IconSource::Kind::ThemeName, name};
}

// ---------------------------------------------------------------------------
// .lnk

struct LnkError {
    liblnk_error_t* error = nullptr;
    ~LnkError() {
        if (error != nullptr) liblnk_error_free(&error);
    }
};

class LnkFile {
public:
    LnkFile() {
        LnkError e;
        if (liblnk_file_initialize(&file_, &e.error) != 1) file_ = nullptr;
    }
    ~LnkFile() {
        if (file_ == nullptr) return;
        if (open_) {
            LnkError e;
            liblnk_file_close(file_, &e.error);
        }
        LnkError e;
        liblnk_file_free(&file_, &e.error);
    }
    LnkFile(const LnkFile&) = delete;
    LnkFile& operator=(const LnkFile&) = delete;

    bool open(const char* path) {
        if (file_ == nullptr) return false;
        LnkError e;
        // ANSI strings in links made on a Simplified Chinese Windows are GBK.
        liblnk_file_set_ascii_codepage(file_, LIBLNK_CODEPAGE_WINDOWS_936, &e.error);
        LnkError e2;
        open_ = liblnk_file_open(file_, path, LIBLNK_OPEN_READ, &e2.error) == 1;
        return open_;
    }

    using SizeFn = int (*)(liblnk_file_t*, size_t*, liblnk_error_t**);
    using GetFn = int (*)(liblnk_file_t*, uint8_t*, size_t, liblnk_error_t**);

    // A UTF-8 string of the link; empty when absent or unreadable.
    std::string text(SizeFn sizeOf, GetFn get) {
        size_t size = 0;
        {
            LnkError e;
            if (sizeOf(file_, &size, &e.error) != 1 || size == 0 || size > kMaxShortcutBytes * 4) return {};
        }
        std::vector<uint8_t> buffer(size + 1, 0);
        LnkError e;
        if (get(file_, buffer.data(), size, &e.error) != 1) return {};
        const auto* chars = reinterpret_cast<const char*>(buffer.data());
        return validUtf8(std::string_view(chars, strnlen(chars, size)));
    }

private:
    liblnk_file_t* file_ = nullptr;
    bool open_ = false;
};

// MS-SHLLINK layout facts used by layoutIsSound.
constexpr std::size_t kHeaderSize = 0x4C;
constexpr std::uint8_t kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                         0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr std::uint32_t kHasTargetIdList = 0x01, kHasLinkInfo = 0x02, kIsUnicode = 0x80;
constexpr std::uint32_t kStringFlags[] = {0x04, 0x08, 0x10, 0x20, 0x40};  // name, relative path, working dir, arguments, icon
constexpr std::uint32_t kLinkInfoMinHeader = 0x1C, kLinkInfoUnicodeHeader = 0x24;

std::uint32_t le16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at] | (b[at + 1] << 8));
}
std::uint32_t le32(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
           (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// Whether a zero-terminated string (of `unit`-byte characters) starts at
// `offset` and ends before `end`.
bool terminatedWithin(std::span<const std::uint8_t> b, std::size_t offset, std::size_t end, std::size_t unit) {
    for (std::size_t at = offset; at + unit <= end; at += unit) {
        bool zero = true;
        for (std::size_t k = 0; k < unit; ++k) zero = zero && b[at + k] == 0;
        if (zero) return true;
    }
    return false;
}

// The LinkInfo block at `at`: its size and header within the file, and each
// part its flags announce inside the block.
bool linkInfoIsSound(std::span<const std::uint8_t> b, std::size_t at) {
    if (b.size() - at < kLinkInfoMinHeader) return false;
    const std::uint32_t size = le32(b, at);
    const std::uint32_t header = le32(b, at + 4);
    if (size < kLinkInfoMinHeader || size > b.size() - at || header < kLinkInfoMinHeader || header > size)
        return false;
    const std::size_t end = at + size;
    const std::uint32_t flags = le32(b, at + 8);
    auto inside = [&](std::uint32_t offset, std::size_t minimum) {
        return offset >= header && offset < size && size - offset >= minimum;
    };
    auto string = [&](std::uint32_t offset, std::size_t unit) {
        return inside(offset, unit) && terminatedWithin(b, at + offset, end, unit);
    };
    if (flags & 0x1) {  // VolumeIDAndLocalBasePath
        const std::uint32_t volume = le32(b, at + 12);
        if (!inside(volume, 0x10)) return false;
        const std::uint32_t volumeSize = le32(b, at + volume);
        if (volumeSize <= 0x10 || volumeSize > size - volume) return false;
        if (!string(le32(b, at + 16), 1)) return false;  // LocalBasePath
        if (header >= kLinkInfoUnicodeHeader && !string(le32(b, at + 28), 2)) return false;
    }
    if (flags & 0x2) {  // CommonNetworkRelativeLinkAndPathSuffix
        const std::uint32_t net = le32(b, at + 20);
        if (!inside(net, 0x14)) return false;
        const std::uint32_t netSize = le32(b, at + net);
        if (netSize < 0x14 || netSize > size - net) return false;
        // liblnk reads every name whose offset is set, whatever the flags say.
        const std::size_t netAt = at + net;
        auto netString = [&](std::uint32_t offset, std::size_t unit) {
            return offset >= 0x14 && offset < netSize && terminatedWithin(b, netAt + offset, netAt + netSize, unit);
        };
        const std::uint32_t netName = le32(b, netAt + 8);
        if (!netString(netName, 1)) return false;
        const std::uint32_t device = le32(b, netAt + 12);
        if (device != 0 && !netString(device, 1)) return false;
        if (netName > 0x14) {  // the Unicode names' offsets follow
            if (netSize < 0x1C) return false;
            for (const std::size_t field : {0x14u, 0x18u}) {
                const std::uint32_t offset = le32(b, netAt + field);
                if (offset != 0 && !netString(offset, 2)) return false;
            }
        }
    }
    if (flags & 0x3) {
        if (!string(le32(b, at + 24), 1)) return false;  // CommonPathSuffix
        if (header >= kLinkInfoUnicodeHeader && le32(b, at + 32) != 0 && !string(le32(b, at + 32), 2)) return false;
    }
    return true;
}

// Walks a link's structure before liblnk sees it. liblnk trusts the sizes a
// file declares and allocates them up front (a LinkInfoSize of 0xFFFFFFF0 is
// a 4 GB allocation), so every size and offset must first be shown to lie
// inside the file. Windows writes links that pass these checks.
bool layoutIsSound(std::span<const std::uint8_t> b) {
    if (b.size() < kHeaderSize || le32(b, 0) != kHeaderSize || !std::equal(kLinkClsid, kLinkClsid + 16, b.begin() + 4))
        return false;
    const std::uint32_t flags = le32(b, 0x14);
    std::size_t at = kHeaderSize;
    if (flags & kHasTargetIdList) {
        if (b.size() - at < 2) return false;
        const std::size_t listSize = le16(b, at);
        if (listSize > b.size() - at - 2) return false;
        // The item list: sized items up to a zero terminator, all inside the list.
        std::size_t item = at + 2;
        const std::size_t listEnd = item + listSize;
        while (true) {
            if (listEnd - item < 2) return false;
            const std::size_t itemSize = le16(b, item);
            if (itemSize == 0) break;
            if (itemSize < 2 || itemSize > listEnd - item) return false;
            item += itemSize;
        }
        at = listEnd;
    }
    if (flags & kHasLinkInfo) {
        if (!linkInfoIsSound(b, at)) return false;
        at += le32(b, at);
    }
    const std::size_t unit = (flags & kIsUnicode) ? 2 : 1;
    for (std::uint32_t flag : kStringFlags) {
        if (!(flags & flag)) continue;
        if (b.size() - at < 2) return false;
        const std::size_t bytes = le16(b, at) * unit;
        if (bytes > b.size() - at - 2) return false;
        at += 2 + bytes;
    }
    // ExtraData: sized blocks up to a terminal block smaller than 4.
    while (b.size() - at >= 4) {
        const std::uint32_t blockSize = le32(b, at);
        if (blockSize < 4) return true;
        if (blockSize < 8 || blockSize > b.size() - at) return false;
        at += blockSize;
    }
    return true;
}

// liblnk reads from a path; the bytes go into an anonymous in-memory file
// that it opens through /proc.
class MemoryFile {
public:
    explicit MemoryFile(std::span<const std::uint8_t> bytes) : fd_(::memfd_create("ludexa-lnk", MFD_CLOEXEC)) {
        if (fd_.get() < 0) return;
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd_.get(), bytes.data() + done, bytes.size() - done);
            if (n <= 0) return;
            done += static_cast<std::size_t>(n);
        }
        path_ = "/proc/self/fd/" + std::to_string(fd_.get());
    }
    const std::string& path() const { return path_; }

private:
    UniqueFd fd_;
    std::string path_;
};

}  // namespace

bool lnkLayoutIsSound(std::span<const std::uint8_t> contents) { return layoutIsSound(contents); }

std::optional<std::vector<std::string>> splitArguments(std::string_view arguments) {
    const std::string text(arguments);
    if (text.find_first_not_of(" \t\n\r") == std::string::npos) return std::vector<std::string>{};
    gchar** argv = nullptr;
    if (!g_shell_parse_argv(text.c_str(), nullptr, &argv, nullptr)) return std::nullopt;
    std::unique_ptr<gchar*, StrvDeleter> owned(argv);
    std::vector<std::string> words;
    for (gchar** p = argv; *p != nullptr; ++p) words.emplace_back(*p);
    return words;
}

std::optional<std::vector<std::string>> splitExec(std::string_view exec) {
    auto raw = splitArguments(exec);
    if (!raw) return std::nullopt;
    std::vector<std::string> words;
    for (const auto& word : *raw) {
        std::string out;
        bool hadCode = false;
        for (std::size_t i = 0; i < word.size(); ++i) {
            if (word[i] != '%' || i + 1 >= word.size()) {
                out += word[i];
                continue;
            }
            const char c = word[++i];
            if (c == '%') {
                out += '%';
            } else if (g_ascii_isalpha(c)) {
                // Field codes (%f %U %i %c %k ...) stand for files, URLs, the
                // icon or the entry itself; the launcher passes none of them,
                // so each one, known or not, expands to nothing.
                hadCode = true;
            } else {
                out += '%';
                out += c;
            }
        }
        if (hadCode && out.empty()) continue;
        words.push_back(std::move(out));
    }
    return words;
}

std::string joinArguments(const std::vector<std::string>& words) {
    std::string out;
    for (const auto& word : words) {
        if (!out.empty()) out += ' ';
        const bool plain = !word.empty() && std::all_of(word.begin(), word.end(), [](char ch) {
            const auto c = static_cast<unsigned char>(ch);
            return c >= 0x80 || g_ascii_isalnum(ch) || std::strchr("-_./:=@%+,", ch) != nullptr;
        });
        if (plain) {
            out += word;
        } else {
            GCharPtr quoted(g_shell_quote(word.c_str()));
            out += quoted.get();
        }
    }
    return out;
}

namespace {

// Why a desktop entry gives no game, or nothing when it gives one.
std::optional<Shortcut> skip(std::string* skipped, const char* why) {
    if (skipped != nullptr) *skipped = why;
    return std::nullopt;
}

// Whether the running desktop lists the entry: the first desktop named in
// XDG_CURRENT_DESKTOP ("ubuntu:GNOME") that the entry's OnlyShowIn or
// NotShowIn mentions decides; when none is mentioned, an OnlyShowIn list
// hides it. This is the rule GIO's menus apply.
bool shownInThisDesktop(GKeyFile* keys) {
    std::unique_ptr<gchar*, StrvDeleter> only(
        g_key_file_get_string_list(keys, kGroup, G_KEY_FILE_DESKTOP_KEY_ONLY_SHOW_IN, nullptr, nullptr));
    std::unique_ptr<gchar*, StrvDeleter> never(
        g_key_file_get_string_list(keys, kGroup, G_KEY_FILE_DESKTOP_KEY_NOT_SHOW_IN, nullptr, nullptr));
    const gchar* current = g_getenv("XDG_CURRENT_DESKTOP");
    std::unique_ptr<gchar*, StrvDeleter> desktops(g_strsplit(current != nullptr ? current : "", ":", 0));
    for (gchar** d = desktops.get(); *d != nullptr; ++d) {
        if (**d == '\0') continue;
        if (only && g_strv_contains(only.get(), *d)) return true;
        if (never && g_strv_contains(never.get(), *d)) return false;
    }
    return only == nullptr;
}

// The menu's own rules: an entry a desktop menu would not list is not a game
// to import. An entry whose Exec program is missing is still taken (a game on
// a drive that is not mounted now): it says why when it cannot start.
const char* hiddenFromMenus(GKeyFile* keys) {
    // Hidden=true marks an entry as deleted.
    if (g_key_file_get_boolean(keys, kGroup, G_KEY_FILE_DESKTOP_KEY_HIDDEN, nullptr)) return "Hidden";
    if (g_key_file_get_boolean(keys, kGroup, G_KEY_FILE_DESKTOP_KEY_NO_DISPLAY, nullptr)) return "NoDisplay";
    if (!shownInThisDesktop(keys)) return "NotShownHere";
    if (const auto tryExec = keyString(keys, G_KEY_FILE_DESKTOP_KEY_TRY_EXEC); tryExec && !tryExec->empty()) {
        GCharPtr found(g_find_program_in_path(tryExec->c_str()));
        if (!found) return "TryExec";
    }
    return nullptr;
}

}  // namespace

std::optional<Shortcut> parseDesktopEntry(std::string_view contents, std::string_view fileName, std::string* skipped) {
    if (contents.size() > kMaxShortcutBytes) return skip(skipped, "Unreadable");
    // Editors on Windows write a byte-order mark, which the key-file parser
    // would take for the start of a line outside any group.
    if (contents.starts_with("\xEF\xBB\xBF")) contents.remove_prefix(3);
    std::unique_ptr<GKeyFile, KeyFileDeleter> keys(g_key_file_new());
    if (!g_key_file_load_from_data(keys.get(), contents.data(), contents.size(), G_KEY_FILE_NONE, nullptr))
        return skip(skipped, "Unreadable");
    if (keyString(keys.get(), G_KEY_FILE_DESKTOP_KEY_TYPE) != G_KEY_FILE_DESKTOP_TYPE_APPLICATION)
        return skip(skipped, "NotApplication");
    const auto exec = keyString(keys.get(), G_KEY_FILE_DESKTOP_KEY_EXEC);
    if (!exec) return skip(skipped, "NoExec");
    if (const char* why = hiddenFromMenus(keys.get())) return skip(skipped, why);
    auto words = splitExec(*exec);
    if (!words || words->empty() || (*words)[0].empty()) return skip(skipped, "BadExec");
    const auto program = programAfterEnv(*words);
    if (!program) return skip(skipped, "BadExec");

    std::string workingFolder = keyString(keys.get(), G_KEY_FILE_DESKTOP_KEY_PATH).value_or("");
    while (workingFolder.size() > 1 && workingFolder.back() == '/') workingFolder.pop_back();

    Shortcut s;
    s.name = cleanName(keyString(keys.get(), G_KEY_FILE_DESKTOP_KEY_NAME, true).value_or(""));
    if (s.name.empty()) s.name = fileStem(fileName, 8);
    // With env in front, the program that follows it decides the folder and
    // the icon; env itself stays the program that is started, so the
    // variables still apply.
    const std::string target = resolveProgram((*words)[*program], workingFolder);
    (*words)[0] = resolveProgram((*words)[0], workingFolder);
    if (g_key_file_get_boolean(keys.get(), kGroup, G_KEY_FILE_DESKTOP_KEY_TERMINAL, nullptr)) {
        // A terminal program (NetHack, a game's launcher script) runs inside
        // the desktop's terminal, which Debian names x-terminal-emulator and
        // which takes the command after -e. Stored so, the game starts
        // without its .desktop file and shows what it runs.
        words->insert(words->begin(), {resolveProgram("x-terminal-emulator", ""), "-e"});
    }
    s.exe_path = (*words)[0];
    s.launch_args = joinArguments(std::vector<std::string>(words->begin() + 1, words->end()));
    s.folder_path = workingFolder.empty() ? folderOf(target) : workingFolder;
    if (auto icon = iconFromKey(keyString(keys.get(), G_KEY_FILE_DESKTOP_KEY_ICON, true).value_or("")))
        s.icons.push_back(*icon);
    s.icons.push_back({IconSource::Kind::FileType, target});
    std::unique_ptr<gchar*, StrvDeleter> categories(
        g_key_file_get_string_list(keys.get(), kGroup, G_KEY_FILE_DESKTOP_KEY_CATEGORIES, nullptr, nullptr));
    for (gchar** c = categories.get(); c != nullptr && *c != nullptr; ++c)
        if (**c != '\0') s.categories.emplace_back(*c);
    return s;
}

std::optional<Shortcut> parseLnk(std::span<const std::uint8_t> contents, std::string_view fileName) {
    if (contents.size() > kMaxShortcutBytes || !layoutIsSound(contents)) return std::nullopt;
    MemoryFile memory(contents);
    if (memory.path().empty()) return std::nullopt;
    LnkFile link;
    if (!link.open(memory.path().c_str())) return std::nullopt;

    Shortcut s;
    s.exe_path = link.text(liblnk_file_get_utf8_local_path_size, liblnk_file_get_utf8_local_path);
    if (s.exe_path.empty())
        s.exe_path = link.text(liblnk_file_get_utf8_network_path_size, liblnk_file_get_utf8_network_path);
    if (s.exe_path.empty()) return std::nullopt;
    s.name = fileStem(fileName, 4);
    s.launch_args = link.text(liblnk_file_get_utf8_command_line_arguments_size,
                              liblnk_file_get_utf8_command_line_arguments);
    s.folder_path = folderOf(s.exe_path);
    const auto iconLocation = link.text(liblnk_file_get_utf8_icon_location_size, liblnk_file_get_utf8_icon_location);
    if (!iconLocation.empty()) s.icons.push_back({IconSource::Kind::ImageFile, iconLocation});
    s.icons.push_back({IconSource::Kind::FileType, s.exe_path});
    return s;
}

std::vector<std::string> listShortcutFiles(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return {};
    struct DirCloser {
        DIR* d;
        ~DirCloser() { ::closedir(d); }
    } closer{dir};
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (!endsWithNoCase(name, ".desktop") && !endsWithNoCase(name, ".lnk")) continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir), entry->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode)) continue;
        names.emplace_back(name);
    }
    std::sort(names.begin(), names.end());
    const std::string prefix = !folder.empty() && folder.back() == '/' ? folder : folder + "/";
    for (auto& name : names) name = prefix + name;
    return names;
}

namespace {

struct FileBytes {
    std::vector<std::uint8_t> bytes;
    std::time_t modified = 0;
};

// A regular file of at most kMaxShortcutBytes, read once.
std::optional<FileBytes> readSmallFile(const std::string& path) {
    // O_NONBLOCK: a FIFO that slipped in after the listing must not block the open.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0 ||
        static_cast<std::uint64_t>(st.st_size) > kMaxShortcutBytes)
        return std::nullopt;
    FileBytes file;
    file.modified = st.st_mtime;
    auto& bytes = file.bytes;
    bytes.resize(static_cast<std::size_t>(st.st_size) + 1);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0) return std::nullopt;
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    if (done > kMaxShortcutBytes) return std::nullopt;  // it grew since fstat
    bytes.resize(done);
    return file;
}

}  // namespace

std::optional<Shortcut> readShortcut(const std::string& path, std::string* skipped) {
    auto file = readSmallFile(path);
    if (!file) return std::nullopt;
    const auto& bytes = file->bytes;
    const auto slash = path.find_last_of('/');
    const std::string_view fileName = slash == std::string::npos ? std::string_view(path)
                                                                 : std::string_view(path).substr(slash + 1);
    std::optional<Shortcut> s;
    if (endsWithNoCase(fileName, ".desktop"))
        s = parseDesktopEntry(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), fileName,
                              skipped);
    else if (endsWithNoCase(fileName, ".lnk"))
        s = parseLnk(bytes, fileName);
    if (s) s->modified = file->modified;
    return s;
}

std::optional<LauncherFace> parseLauncherFace(std::string_view contents) {
    if (contents.size() > kMaxShortcutBytes) return std::nullopt;
    if (contents.starts_with("\xEF\xBB\xBF")) contents.remove_prefix(3);
    std::unique_ptr<GKeyFile, KeyFileDeleter> keys(g_key_file_new());
    // Without KEEP_TRANSLATIONS GLib drops every Name[..] the user's own
    // locale does not ask for, Chinese ones included.
    if (!g_key_file_load_from_data(keys.get(), contents.data(), contents.size(), G_KEY_FILE_KEEP_TRANSLATIONS, nullptr))
        return std::nullopt;
    // The program speaks Simplified Chinese whatever the system's locale, so
    // its labels do too; GLib tries zh_CN, then zh, then the plain key.
    GCharPtr name(g_key_file_get_locale_string(keys.get(), kGroup, G_KEY_FILE_DESKTOP_KEY_NAME, "zh_CN", nullptr));
    if (!name) return std::nullopt;
    LauncherFace face;
    face.name = cleanName(validUtf8(name.get()));
    if (face.name.empty()) return std::nullopt;
    GCharPtr icon(g_key_file_get_locale_string(keys.get(), kGroup, G_KEY_FILE_DESKTOP_KEY_ICON, "zh_CN", nullptr));
    if (icon)
        if (auto source = iconFromKey(icon.get())) face.icons.push_back(*source);
    return face;
}

std::optional<LauncherFace> readLauncherFace(const std::string& path) {
    if (!endsWithNoCase(path, ".desktop")) return std::nullopt;
    const auto file = readSmallFile(path);
    if (!file) return std::nullopt;
    return parseLauncherFace(std::string_view(reinterpret_cast<const char*>(file->bytes.data()), file->bytes.size()));
}

}  // namespace ludexa
