// Windows shell links (.lnk) built byte by byte for the tests, following the
// MS-SHLLINK layout: a 0x4C-byte header, an optional LinkInfo block with the
// target's path, StringData (counted strings) and ExtraData blocks up to the
// terminal one.
// The offsets of each part are kept so a test can break one field on purpose.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lnk_fixture {

using Bytes = std::vector<std::uint8_t>;

// LinkFlags bits used here.
constexpr std::uint32_t kHasLinkTargetIdList = 0x00000001;
constexpr std::uint32_t kHasLinkInfo = 0x00000002;
constexpr std::uint32_t kHasName = 0x00000004;
constexpr std::uint32_t kHasRelativePath = 0x00000008;
constexpr std::uint32_t kHasWorkingDir = 0x00000010;
constexpr std::uint32_t kHasArguments = 0x00000020;
constexpr std::uint32_t kHasIconLocation = 0x00000040;
constexpr std::uint32_t kIsUnicode = 0x00000080;

struct Link {
    bool idList = false;      // a LinkTargetIDList holding the "My Computer" item
    std::string localPath;    // LinkInfo's LocalBasePath (ANSI bytes); empty: none
    std::string networkName;  // CommonNetworkRelativeLink's NetName, such as "\\\\server\\share"
    std::string pathSuffix;   // CommonPathSuffix, appended to the network name
    bool unicode = false;     // StringData as UTF-16LE (and the local path also as Unicode)
    std::string description;  // NAME_STRING; empty: none
    std::string relativePath;  // RELATIVE_PATH; empty: none
    std::string workingDir;    // WORKING_DIR; empty: none
    bool hasArguments = false;
    std::string arguments;  // COMMAND_LINE_ARGUMENTS (UTF-8 here, converted when `unicode`)
    bool hasIcon = false;
    std::string iconLocation;  // ICON_LOCATION
    bool extraData = false;    // environment, tracker and special-folder blocks before the terminal one
};

// Where each part landed in the last build.
struct Layout {
    std::size_t linkInfo = 0;    // start of the LinkInfo block
    std::size_t stringData = 0;  // start of the first StringData string
    std::size_t end = 0;         // start of the terminal block
};

inline void u16(Bytes& b, std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void u32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
inline void put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void ansiz(Bytes& b, const std::string& s) {
    b.insert(b.end(), s.begin(), s.end());
    b.push_back(0);
}

// UTF-8 to UTF-16 code units (the tests use BMP characters only).
inline std::u16string toUtf16(const std::string& s) {
    std::u16string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        char32_t cp = c;
        int extra = c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (extra) cp = c & (extra == 2 ? 0x0F : 0x1F);
        for (int k = 1; k <= extra; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        i += 1 + extra;
        out.push_back(static_cast<char16_t>(cp));
    }
    return out;
}

// A StringData entry: CountCharacters (16 bits), then the characters, no terminator.
inline void countedString(Bytes& b, const std::string& s, bool unicode) {
    if (unicode) {
        const auto w = toUtf16(s);
        u16(b, static_cast<std::uint16_t>(w.size()));
        for (char16_t c : w) u16(b, c);
    } else {
        u16(b, static_cast<std::uint16_t>(s.size()));
        b.insert(b.end(), s.begin(), s.end());
    }
}

inline Bytes build(const Link& link, Layout* layout = nullptr) {
    Layout where;
    Bytes b;
    const bool hasLinkInfo = !link.localPath.empty() || !link.networkName.empty();
    std::uint32_t flags = 0;
    if (link.idList) flags |= kHasLinkTargetIdList;
    if (hasLinkInfo) flags |= kHasLinkInfo;
    if (!link.description.empty()) flags |= kHasName;
    if (!link.relativePath.empty()) flags |= kHasRelativePath;
    if (!link.workingDir.empty()) flags |= kHasWorkingDir;
    if (link.hasArguments) flags |= kHasArguments;
    if (link.hasIcon) flags |= kHasIconLocation;
    if (link.unicode) flags |= kIsUnicode;

    // ---- ShellLinkHeader, 0x4C bytes
    u32(b, 0x0000004C);  // HeaderSize
    // LinkCLSID 00021401-0000-0000-C000-000000000046, in its little-endian GUID layout
    for (std::uint8_t x : {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                           0x46})
        b.push_back(x);
    u32(b, flags);                                // LinkFlags
    u32(b, 0x00000020);                           // FileAttributes: FILE_ATTRIBUTE_ARCHIVE
    for (int i = 0; i < 24; ++i) b.push_back(0);  // CreationTime, AccessTime, WriteTime
    u32(b, 123456);                               // FileSize
    u32(b, 0);                                    // IconIndex
    u32(b, 1);                                    // ShowCommand: SW_SHOWNORMAL
    u16(b, 0);                                    // HotKey
    u16(b, 0);                                    // Reserved1
    u32(b, 0);                                    // Reserved2
    u32(b, 0);                                    // Reserved3

    // ---- LinkTargetIDList
    if (link.idList) {
        u16(b, 22);       // IDListSize: one 20-byte item and the terminator
        u16(b, 20);       // ItemIDSize
        b.push_back(0x1F);  // a root folder item
        b.push_back(0x50);  // its sort index
        // {20D04FE0-3AEA-1069-A2D8-08002B30309D}, "My Computer"
        for (std::uint8_t x : {0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A, 0x69, 0x10, 0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30,
                               0x30, 0x9D})
            b.push_back(x);
        u16(b, 0);  // TerminalID
    }

    // ---- LinkInfo
    if (hasLinkInfo) {
        where.linkInfo = b.size();
        const std::size_t start = b.size();
        const bool local = !link.localPath.empty();
        const bool unicodeHeader = local && link.unicode;
        const std::uint32_t headerSize = unicodeHeader ? 0x24 : 0x1C;
        u32(b, 0);           // LinkInfoSize, patched below
        u32(b, headerSize);  // LinkInfoHeaderSize
        u32(b, (local ? 0x1u : 0u) | (link.networkName.empty() ? 0u : 0x2u));  // LinkInfoFlags
        u32(b, 0);  // VolumeIDOffset, patched
        u32(b, 0);  // LocalBasePathOffset, patched
        u32(b, 0);  // CommonNetworkRelativeLinkOffset, patched
        u32(b, 0);  // CommonPathSuffixOffset, patched
        if (unicodeHeader) {
            u32(b, 0);  // LocalBasePathOffsetUnicode, patched
            u32(b, 0);  // CommonPathSuffixOffsetUnicode, patched
        }
        auto offset = [&] { return static_cast<std::uint32_t>(b.size() - start); };
        if (local) {
            put32(b, start + 12, offset());
            u32(b, 0x11);    // VolumeIDSize: 16 bytes of fields plus an empty label
            u32(b, 3);       // DriveType: DRIVE_FIXED
            u32(b, 0xBEEF);  // DriveSerialNumber
            u32(b, 0x10);    // VolumeLabelOffset: right after these fields
            b.push_back(0);  // VolumeLabel: ""
            put32(b, start + 16, offset());
            ansiz(b, link.localPath);  // LocalBasePath
        }
        if (!link.networkName.empty()) {
            put32(b, start + 20, offset());
            const std::size_t net = b.size();
            u32(b, 0);           // CommonNetworkRelativeLinkSize, patched
            u32(b, 0);           // CommonNetworkRelativeLinkFlags: no device, no provider
            u32(b, 0x14);        // NetNameOffset
            u32(b, 0);           // DeviceNameOffset
            u32(b, 0x00020000);  // NetworkProviderType (ignored without ValidNetType)
            ansiz(b, link.networkName);
            put32(b, net, static_cast<std::uint32_t>(b.size() - net));
        }
        put32(b, start + 24, offset());
        ansiz(b, link.pathSuffix);  // CommonPathSuffix
        if (unicodeHeader) {
            put32(b, start + 28, offset());
            for (char16_t c : toUtf16(link.localPath)) u16(b, c);
            u16(b, 0);  // LocalBasePathUnicode
            put32(b, start + 32, offset());
            u16(b, 0);  // CommonPathSuffixUnicode: ""
        }
        put32(b, start, offset());  // LinkInfoSize
    }

    // ---- StringData, in the order the format fixes
    where.stringData = b.size();
    if (!link.description.empty()) countedString(b, link.description, link.unicode);  // NAME_STRING
    if (!link.relativePath.empty()) countedString(b, link.relativePath, link.unicode);  // RELATIVE_PATH
    if (!link.workingDir.empty()) countedString(b, link.workingDir, link.unicode);      // WORKING_DIR
    if (link.hasArguments) countedString(b, link.arguments, link.unicode);           // COMMAND_LINE_ARGUMENTS
    if (link.hasIcon) countedString(b, link.iconLocation, link.unicode);             // ICON_LOCATION

    // ---- ExtraData
    if (link.extraData) {
        // EnvironmentVariableDataBlock: the target as ANSI and as Unicode, 260 characters each.
        const std::size_t env = b.size();
        u32(b, 0x314);
        u32(b, 0xA0000001);
        b.resize(env + 0x314, 0);
        const std::string target = "%ProgramFiles%\\Foo\\foo.exe";
        std::copy(target.begin(), target.end(), b.begin() + static_cast<std::ptrdiff_t>(env + 8));
        for (std::size_t i = 0; i < target.size(); ++i) b[env + 8 + 260 + 2 * i] = static_cast<std::uint8_t>(target[i]);
        // TrackerDataBlock: the machine name and two pairs of object ids.
        u32(b, 0x60);
        u32(b, 0xA0000003);
        u32(b, 0x58);  // Length
        u32(b, 0);     // Version
        const std::string machine = "gamepc";
        b.insert(b.end(), machine.begin(), machine.end());
        b.insert(b.end(), 16 - machine.size(), 0);
        for (int i = 0; i < 64; ++i) b.push_back(static_cast<std::uint8_t>(i * 7));
        // SpecialFolderDataBlock: CSIDL_PROGRAM_FILES, at the start of the item list.
        u32(b, 0x10);
        u32(b, 0xA0000005);
        u32(b, 0x26);
        u32(b, 0);
    }
    // The TerminalBlock
    where.end = b.size();
    u32(b, 0);
    if (layout != nullptr) *layout = where;
    return b;
}

}  // namespace lnk_fixture
