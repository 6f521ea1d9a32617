// Font loading: the fallback chain through fontconfig, and the collection face
// extraction that keeps Chinese text out of the Japanese face of Noto Sans CJK.
#include "appearance/fonts.h"

#include <filesystem>

#include "platform/files.h"

namespace ludexa {

const std::vector<std::pair<std::wstring, std::wstring>> COMMON_FONTS = {
    {L"思源黑体", L"Noto Sans CJK SC"},
    {L"思源宋体", L"Noto Serif CJK SC"},
    {L"文泉驿微米黑", L"WenQuanYi Micro Hei"},
    {L"文泉驿正黑", L"WenQuanYi Zen Hei"},
    {L"文鼎明体", L"AR PL UMing CN"},
    {L"DejaVu Sans", L"DejaVu Sans"},
    {L"DejaVu Sans Mono (等宽)", L"DejaVu Sans Mono"},
};

const std::vector<std::pair<std::wstring, std::wstring>> FONT_NAME_MAP = {
    {L"NotoSansCJK-Regular", L"思源黑体"},
    {L"NotoSansCJK-Bold", L"思源黑体粗体"},
    {L"NotoSansCJK-Light", L"思源黑体细体"},
    {L"NotoSerifCJK-Regular", L"思源宋体"},
    {L"NotoSerifCJK-Bold", L"思源宋体粗体"},
    {L"wqy-microhei", L"文泉驿微米黑"},
    {L"wqy-zenhei", L"文泉驿正黑"},
    {L"uming", L"文鼎明体"},
    {L"ukai", L"文鼎楷体"},
    {L"DroidSansFallbackFull", L"Droid Sans Fallback"},
    {L"DejaVuSans", L"DejaVu Sans"},
    {L"DejaVuSans-Bold", L"DejaVu Sans粗体"},
    {L"DejaVuSansMono", L"DejaVu Sans Mono等宽"},
    {L"DejaVuSansMono-Bold", L"DejaVu Sans Mono等宽粗体"},
    {L"DejaVuSerif", L"DejaVu Serif"},
    {L"LiberationSans-Regular", L"Liberation Sans"},
    {L"LiberationSans-Bold", L"Liberation Sans粗体"},
    {L"LiberationSerif-Regular", L"Liberation Serif"},
    {L"LiberationMono-Regular", L"Liberation Mono等宽"},
};

namespace {

std::uint32_t readU32(const std::vector<std::uint8_t>& d, std::size_t at) {
    return (std::uint32_t{d[at]} << 24) | (std::uint32_t{d[at + 1]} << 16) | (std::uint32_t{d[at + 2]} << 8) |
           d[at + 3];
}
std::uint16_t readU16(const std::vector<std::uint8_t>& d, std::size_t at) {
    return static_cast<std::uint16_t>((d[at] << 8) | d[at + 1]);
}
void writeU32(std::vector<std::uint8_t>& d, std::size_t at, std::uint32_t v) {
    d[at] = static_cast<std::uint8_t>(v >> 24);
    d[at + 1] = static_cast<std::uint8_t>(v >> 16);
    d[at + 2] = static_cast<std::uint8_t>(v >> 8);
    d[at + 3] = static_cast<std::uint8_t>(v);
}

// Larger than any real font (Noto Sans CJK's collection is about 20 MB).
constexpr std::size_t kMaxFontFileBytes = 256u << 20;

bool readFile(const std::string& path, std::vector<std::uint8_t>& out) {
    return readWholeRegularFile(path, kMaxFontFileBytes, out) && !out.empty();
}

}  // namespace

std::vector<std::uint8_t> extractCollectionFace(const std::vector<std::uint8_t>& d, int faceIndex) {
    // Collection header: "ttcf", version, font count, then one offset per font.
    if (d.size() < 12 || readU32(d, 0) != 0x74746366 || faceIndex < 0) return {};
    const std::uint32_t count = readU32(d, 8);
    if (static_cast<std::uint32_t>(faceIndex) >= count || 12 + 4 * std::size_t{count} > d.size()) return {};
    const std::size_t table = readU32(d, 12 + 4 * static_cast<std::size_t>(faceIndex));
    // The face's own directory: sfnt version, table count, 3 search fields, then
    // 16-byte records (tag, checksum, offset from the file start, length).
    if (table + 12 > d.size()) return {};
    const std::uint16_t tables = readU16(d, table + 4);
    const std::size_t directorySize = 12 + 16 * std::size_t{tables};
    if (table + directorySize > d.size()) return {};

    std::vector<std::uint8_t> out(d.begin() + static_cast<std::ptrdiff_t>(table),
                                  d.begin() + static_cast<std::ptrdiff_t>(table + directorySize));
    for (std::size_t i = 0; i < tables; ++i) {
        const std::size_t record = 12 + 16 * i;
        const std::size_t offset = readU32(out, record + 8);
        const std::size_t length = readU32(out, record + 12);
        if (offset > d.size() || length > d.size() - offset) return {};
        while (out.size() % 4 != 0) out.push_back(0);
        writeU32(out, record + 8, static_cast<std::uint32_t>(out.size()));
        out.insert(out.end(), d.begin() + static_cast<std::ptrdiff_t>(offset),
                   d.begin() + static_cast<std::ptrdiff_t>(offset + length));
    }
    return out;
}

bool loadFontFace(const FontFace& face, sf::Font& font, std::vector<std::uint8_t>& storage) {
    std::vector<std::uint8_t> bytes;
    if (!readFile(face.path, bytes)) return false;
    if (face.faceIndex != 0) {
        bytes = extractCollectionFace(bytes, face.faceIndex);
        if (bytes.empty()) return false;
    }
    sf::Font candidate;
    if (!candidate.loadFromMemory(bytes.data(), bytes.size())) return false;
    // The font refers to the bytes it was opened from: keep both together.
    font = candidate;
    storage = std::move(bytes);
    return true;
}

bool loadFirstFont(const std::vector<FontFace>& chain, sf::Font& font, std::vector<std::uint8_t>& storage) {
    for (const auto& face : chain)
        if (loadFontFace(face, font, storage)) return true;
    return false;
}

FontProblem fontProblemFor(bool anyFontLoaded, bool uiFontCoversChinese) {
    if (!anyFontLoaded) return FontProblem::NoFont;
    return uiFontCoversChinese ? FontProblem::None : FontProblem::NoChinese;
}

FontProblemMessage fontProblemMessage(FontProblem problem) {
    switch (problem) {
        case FontProblem::None:
            break;
        case FontProblem::NoChinese:
            return {"缺少中文字体 / Missing Chinese font",
                    "未找到中文字体（思源黑体 Noto Sans CJK SC），界面上的汉字会显示为方框。\n"
                    "请安装 Debian 软件包 fonts-noto-cjk，然后重新启动 Ludexa：\n"
                    "    sudo apt install fonts-noto-cjk\n\n"
                    "No Chinese font (Noto Sans CJK SC) was found, so Chinese text shows as boxes.\n"
                    "Install the Debian package fonts-noto-cjk, then start Ludexa again:\n"
                    "    sudo apt install fonts-noto-cjk"};
        case FontProblem::NoFont:
            return {"缺少字体 / Missing font",
                    "未找到任何可用的字体，Ludexa 无法显示文字，将会退出。\n"
                    "请安装 Debian 软件包 fonts-noto-cjk（中文字体 思源黑体 Noto Sans CJK SC）：\n"
                    "    sudo apt install fonts-noto-cjk\n\n"
                    "No usable font was found: Ludexa cannot draw any text and will close.\n"
                    "Install the Debian package fonts-noto-cjk (the Chinese font Noto Sans CJK SC):\n"
                    "    sudo apt install fonts-noto-cjk"};
    }
    return {};
}

bool firstLoadableCoversChinese(const std::vector<FontFace>& chain) {
    // The face loadFirstFont takes is the first whose file is there (a font
    // file fontconfig listed is readable in practice): no font is opened twice.
    for (const auto& face : chain) {
        std::error_code error;
        if (std::filesystem::is_regular_file(face.path, error)) return coversSimplifiedChinese(face);
    }
    return false;
}

}  // namespace ludexa

#include "app/GameLauncher.h"
#include "platform/text.h"

namespace ludexa {

bool GameLauncher::loadUIFont() { return loadFirstFont(uiFontChain(), uiFont, uiFontBytes); }

bool GameLauncher::loadContentFont() {
    const std::wstring& own = settings.fontPath;
    if (!own.empty() && loadFontFace(faceForFile(wstringToUtf8(own)), contentFont, contentFontBytes))
        return true;
    return loadFirstFont(uiFontChain(), contentFont, contentFontBytes);
}

void GameLauncher::reloadFont() {
    (void)loadUIFont();
    sf::Font fresh;
    std::vector<std::uint8_t> freshBytes;
    const std::wstring& own = settings.fontPath;
    const bool loaded =
        (!own.empty() && loadFontFace(faceForFile(wstringToUtf8(own)), fresh, freshBytes)) ||
        loadFirstFont(uiFontChain(), fresh, freshBytes);
    if (!loaded) return;
    // The old glyph data is released only now, so the widgets never point at a
    // half-loaded font.
    contentFont = fresh;
    contentFontBytes = std::move(freshBytes);
    searchBox.font = &contentFont;
    textBox.font = &contentFont;
    contentFontSize = settings.fontSize;
    textBox.charSize = static_cast<unsigned>(settings.fontSize);
    textBox.buildLines();
}

}  // namespace ludexa
