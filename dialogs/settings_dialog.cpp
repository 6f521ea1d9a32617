// The program settings dialog: font list, switches, frame-rate check, and
// applying the result to the launcher.
#include "dialogs/settings_dialog.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <set>

#include "app/GameLauncher.h"
#include "appearance/fonts.h"
#include "platform/fonts.h"
#include "platform/text.h"

namespace ludexa {
namespace {

std::string fileName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file name without its last extension.
std::string fileStem(const std::string& path) {
    const std::string name = fileName(path);
    const auto dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string lowerExtension(const std::string& path) {
    const std::string name = fileName(path);
    const auto dot = name.find_last_of('.');
    if (dot == std::string::npos) return {};
    std::string ext = name.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

std::optional<std::string> mappedFontName(const std::string& stem) {
    const std::wstring wide = utf8ToWstring(stem);
    for (const auto& [fileStemEntry, display] : FONT_NAME_MAP)
        if (fileStemEntry == wide) return wstringToUtf8(display);
    return std::nullopt;
}

// How a font file the user chose earlier is shown when it is not one of the
// common fonts: its known name, else its file name.
std::string displayNameForFile(const std::string& path) {
    const std::string stem = fileStem(path);
    if (auto name = mappedFontName(stem); name && !name->empty()) return *name;
    return stem.empty() ? path : stem;
}

}  // namespace

bool sameFormats(const Settings& a, const Settings& b) {
    return std::all_of(kFormatSettings.begin(), kFormatSettings.end(), [&](bool Settings::*f) { return a.*f == b.*f; });
}

SettingsEffects settingsEffects(const Settings& before, const Settings& after) {
    SettingsEffects effects;
    effects.reloadFonts = before.fontPath != after.fontPath || before.fontSize != after.fontSize;
    effects.updateFrameRate = before.framerate_fps != after.framerate_fps;
    return effects;
}

std::optional<int> parseFrameRate(const std::string& text) {
    if (text.empty()) return std::nullopt;
    if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) return std::nullopt;
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (value < 15 || value > 500) return std::nullopt;
    return value;
}

FontCatalog systemFontCatalog() {
    FontCatalog catalog;
    catalog.familyFile = [](const std::string& family) -> std::optional<std::string> {
        if (auto face = findFontFamily(family)) return face->path;
        return std::nullopt;
    };
    catalog.fontFiles = [] {
        std::vector<std::string> files;
        std::set<std::string> seen;
        for (const auto& font : installedFonts())
            if (seen.insert(font.face.path).second) files.push_back(font.face.path);
        return files;
    };
    catalog.isFile = [](const std::string& path) {
        struct stat st {};
        return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    };
    return catalog;
}

SettingsDialogState::SettingsDialogState(const Settings& ctx, FontCatalog catalog)
    : context(ctx), catalog_(std::move(catalog)) {
    using namespace settings_switch;
    fonts_.push_back({"使用系统默认字体", "", -1});
    const std::string current = wstringToUtf8(context.fontPath);
    bool found = current.empty();
    for (std::size_t i = 0; i < COMMON_FONTS.size(); ++i) {
        const auto file = catalog_.familyFile ? catalog_.familyFile(wstringToUtf8(COMMON_FONTS[i].second))
                                              : std::nullopt;
        if (!file || !catalog_.isFile || !catalog_.isFile(*file)) continue;
        fonts_.push_back({wstringToUtf8(COMMON_FONTS[i].first), *file, static_cast<int>(i)});
        if (!found && *file == current) {
            selectedFont_ = static_cast<int>(fonts_.size()) - 1;
            found = true;
        }
    }
    // A font chosen earlier from the system search is not among the common
    // fonts; it gets its own entry, or OK without a change would quietly
    // switch the program back to the default font.
    if (!found) {
        fonts_.push_back({displayNameForFile(current), current, 100 + static_cast<int>(fonts_.size())});
        selectedFont_ = static_cast<int>(fonts_.size()) - 1;
    }

    for (int i = 0; i < 6; ++i) switches_[kFormats + i] = context.*kFormatSettings[static_cast<std::size_t>(i)];
    switches_[kAutoSleep] = context.sleepAutoMinute;
    switches_[kSleepOnLaunch] = context.sleepOnLaunch;
    for (int i = 0; i < 4; ++i) switches_[kGamepad + i] = context.gamepadMode == i + 1;
    bool preset = false;
    for (int i = 0; i < 6; ++i) {
        const bool on = kFrameRatePresets[static_cast<std::size_t>(i)] == context.framerate_fps;
        switches_[kFrameRates + i] = on;
        preset = preset || on;
    }
    switches_[kCustomFrameRate] = !preset;
    frameRateText_ = std::to_string(context.framerate_fps);
}

std::vector<std::string> SettingsDialogState::fontNames() const {
    std::vector<std::string> names;
    for (const auto& item : fonts_) names.push_back(item.name);
    return names;
}

void SettingsDialogState::selectFont(int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < fonts_.size()) selectedFont_ = index;
}

void SettingsDialogState::setFontSize(int size) { context.fontSize = std::clamp(size, 10, 24); }

void SettingsDialogState::restoreDefaultFont() {
    selectedFont_ = 0;
    context.fontPath.clear();
}

void SettingsDialogState::searchSystemFonts(NativeWindow dialog) {
    fonts_.resize(1);
    // Collections first, then single fonts, each in file-name order; a font
    // installed in two folders is listed once.
    std::vector<std::string> files;
    if (catalog_.fontFiles)
        for (const auto& file : catalog_.fontFiles()) {
            const auto ext = lowerExtension(file);
            if (ext == ".ttc" || ext == ".ttf") files.push_back(file);
        }
    std::sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) {
        const bool aTtc = lowerExtension(a) == ".ttc", bTtc = lowerExtension(b) == ".ttc";
        if (aTtc != bTtc) return aTtc;
        const auto an = fileName(a), bn = fileName(b);
        return an != bn ? an < bn : a < b;
    });
    std::set<std::string> seenStems;
    for (const auto& file : files) {
        const std::string stem = fileStem(file);
        const auto name = mappedFontName(stem);
        if (!name || name->empty() || !seenStems.insert(stem).second) continue;
        fonts_.push_back({*name, file, 100 + static_cast<int>(fonts_.size())});
    }
    // The selection follows the font in use; when the new list lacks it,
    // nothing is selected and OK keeps it.
    const std::string current = wstringToUtf8(context.fontPath);
    selectedFont_ = current.empty() ? 0 : -1;
    for (std::size_t i = 1; i < fonts_.size() && !current.empty(); ++i)
        if (fonts_[i].path == current) {
            selectedFont_ = static_cast<int>(i);
            break;
        }
    const int added = static_cast<int>(fonts_.size()) - 1;
    showMessageBox({"已添加 " + std::to_string(added) + " 个常用字体", "提示", MessageIcon::Information,
                    MessageButtons::Ok, dialog});
}

bool SettingsDialogState::switchOn(int id) const {
    const auto it = switches_.find(id);
    return it != switches_.end() && it->second;
}

void SettingsDialogState::clickSwitch(int id) {
    using namespace settings_switch;
    if (id >= kFormats && id < kFormats + 6) {
        switches_[id] = !switches_[id];
    } else if (id == kAutoSleep || id == kSleepOnLaunch) {
        // One of the two sleep options always stays on.
        const int other = id == kAutoSleep ? kSleepOnLaunch : kAutoSleep;
        if (!switches_[id])
            switches_[id] = true;
        else if (switches_[other])
            switches_[id] = false;
    } else if (id >= kGamepad && id < kGamepad + 4) {
        for (int i = 0; i < 4; ++i) switches_[kGamepad + i] = kGamepad + i == id;
        context.gamepadMode = id - 4000;
    } else if (id >= kFrameRates && id < kFrameRates + 6) {
        for (int i = 0; i < 6; ++i) switches_[kFrameRates + i] = kFrameRates + i == id;
        switches_[kCustomFrameRate] = false;
        frameRateText_ = std::to_string(kFrameRatePresets[static_cast<std::size_t>(id - kFrameRates)]);
    }
}

bool SettingsDialogState::accept(const std::string& text, NativeWindow dialog) {
    using namespace settings_switch;
    const auto rate = parseFrameRate(text);
    if (!rate) {
        showMessageBox({"请输入 15-500 之间的数字作为刷新率。", "输入无效", MessageIcon::Warning, MessageButtons::Ok,
                        dialog});
        return false;
    }
    context.framerate_fps = *rate;
    if (selectedFont_ == 0) {
        context.fontPath.clear();
    } else if (selectedFont_ > 0 && static_cast<std::size_t>(selectedFont_) < fonts_.size()) {
        // A file that has gone since the list was made leaves the path as it was.
        const auto& item = fonts_[static_cast<std::size_t>(selectedFont_)];
        if (catalog_.isFile && catalog_.isFile(item.path)) context.fontPath = utf8ToWstring(item.path);
    }
    for (int i = 0; i < 6; ++i) context.*kFormatSettings[static_cast<std::size_t>(i)] = switchOn(kFormats + i);
    context.sleepAutoMinute = switchOn(kAutoSleep);
    context.sleepOnLaunch = switchOn(kSleepOnLaunch);
    result = 1;
    return true;
}

void GameLauncher::showSettingsDialog() {
    SettingsDialogState state(settings, systemFontCatalog());
    const ModalRepaint repaint([this] { render(); });
    if (runSettingsDialog(state, nativeHandle())) {
        const Settings before = settings;
        settings = state.context;
        const SettingsEffects effects = settingsEffects(before, settings);
        if (effects.reloadFonts) reloadFont();
        if (effects.updateFrameRate) window.setFramerateLimit(static_cast<unsigned>(settings.framerate_fps));
        saveConfig();
        // The picture list of the selected game depends on the formats.
        if (!sameFormats(before, settings)) updateTextContent();
    }
    discardInputAfterModal();
}

}  // namespace ludexa
