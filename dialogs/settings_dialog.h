// The program settings dialog ("设置"): the values it edits, the rules of its
// font list and switches, and what OK changes. GameLauncher::showSettingsDialog
// runs it; the window itself is built by the platform layer.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/settings.h"
#include "platform/native_dialogs.h"

namespace ludexa {

// The picture-format switches, in the order the dialog shows them.
inline constexpr std::array<bool Settings::*, 6> kFormatSettings{&Settings::fmtJpg,  &Settings::fmtPng,
                                                                 &Settings::fmtBmp,  &Settings::fmtWebp,
                                                                 &Settings::fmtAvif, &Settings::fmtGif};
bool sameFormats(const Settings& a, const Settings& b);

// What OK asks of the launcher beyond taking the edited settings.
struct SettingsEffects {
    bool reloadFonts = false;      // the font file or size changed
    bool updateFrameRate = false;  // the frame-rate limit changed
};
SettingsEffects settingsEffects(const Settings& before, const Settings& after);

// The frame-rate field: not empty, digits 0-9 only, 15 … 500.
std::optional<int> parseFrameRate(const std::string& text);

inline constexpr std::array<int, 6> kFrameRatePresets{15, 30, 60, 120, 200, 240};

// Where the dialog finds fonts; tests give it a fixed catalogue.
struct FontCatalog {
    // The file of an installed family (COMMON_FONTS names families), if any.
    std::function<std::optional<std::string>(const std::string& family)> familyFile;
    // Every installed font file.
    std::function<std::vector<std::string>()> fontFiles;
    // An existing regular file (not a folder).
    std::function<bool(const std::string& path)> isFile;
};
FontCatalog systemFontCatalog();

class SettingsDialogState final : public SettingsDialogModel {
public:
    // Edits a copy of `settings`: the font, its size, the picture formats, the
    // sleep switches, the gamepad layout and the frame rate.
    SettingsDialogState(const Settings& settings, FontCatalog catalog);

    std::vector<std::string> fontNames() const override;
    int selectedFont() const override { return selectedFont_; }
    void selectFont(int index) override;
    int fontSize() const override { return context.fontSize; }
    void setFontSize(int size) override;
    void restoreDefaultFont() override;
    void searchSystemFonts(NativeWindow dialog) override;
    bool switchOn(int id) const override;
    bool switchEnabled(int id) const override { return id != settings_switch::kCustomFrameRate; }
    void clickSwitch(int id) override;
    std::string frameRateText() const override { return frameRateText_; }
    bool accept(const std::string& frameRateText, NativeWindow dialog) override;

    Settings context;
    int result = 0;  // 1 OK, 2 cancelled

private:
    struct FontItem {
        std::string name;
        std::string path;  // empty for the system default
        int data = -1;     // -1 default, COMMON_FONTS index, or 100 + list index
    };

    FontCatalog catalog_;
    std::vector<FontItem> fonts_;
    int selectedFont_ = 0;
    std::map<int, bool> switches_;
    std::string frameRateText_;
};

}  // namespace ludexa
