// loadConfig / saveConfig: set.ini in the data folder (beside a portable
// executable), read into the launcher's Settings record and written from it.
#include "app/GameLauncher.h"
#include "appearance/themes.h"
#include "platform/dialogs.h"
#include "platform/paths.h"
#include "platform/window.h"

namespace ludexa {

void GameLauncher::loadConfig() {
    // From now on every move and resize is followed, so that saveConfig can
    // store the restored geometry of a maximised window.
    watchWindowPlacement(nativeHandle());
    std::string text;
    const auto read = readSettingsFile(settingsPath(), text);
    if (read == SettingsFileRead::Missing) return;
    // What the file does not give keeps the value the window has now.
    settings.windowWidth = windowWidth;
    settings.windowHeight = windowHeight;
    settings.toolbarHeight = toolbarHeight;
    const auto result = readSettings(text, settings, static_cast<int>(THEMES.size()));
    if (read == SettingsFileRead::Partial || result.lineDropped) {
        keepSettingsFile = true;
        showMessageBox({"设置文件 set.ini 未能完整读取（文件超过 1 MB、有过长的行或无法读取），只用上了读出的设置。\n"
                        "为免丢失其中的内容，本次运行不会改写它，更改的设置不会保存；"
                        "整理或删除该文件后即可恢复保存。",
                        "提示", MessageIcon::Warning, MessageButtons::Ok, 0});
    }
    if (result.windowSizeGiven) {
        ScreenRect screen = monitorRectFor(nativeHandle());
        if (screen.width <= 0 || screen.height <= 0) {
            const auto desktop = sf::VideoMode::getDesktopMode();
            screen.width = static_cast<int>(desktop.width);
            screen.height = static_cast<int>(desktop.height);
        }
        boundWindowSize(settings, screen.width, screen.height);
    }
    windowWidth = settings.windowWidth;
    windowHeight = settings.windowHeight;
    toolbarHeight = settings.toolbarHeight;
    library.setCategories(std::move(settings.categories));
    settings.categories.clear();
    if (result.windowSizeGiven)
        window.setSize({static_cast<unsigned>(windowWidth), static_cast<unsigned>(windowHeight)});
    if (settings.useCustomBackground) {
        // Decoded off the main thread; the theme's colours show meanwhile.
        settings.useCustomBackground = false;
        startBackgroundLoad(getBackgroundImagePath(), BackgroundUse::AtStart);
    }
    leftPanelWidth = settings.leftPanelWidthRatio * windowWidth;
    leftTopHeight = (windowHeight - (toolbarHeight + 4)) * settings.leftTopHeightRatio;
}

void GameLauncher::saveConfig() {
    if (keepSettingsFile) return;
    // The values that live elsewhere while the program runs join the record.
    Settings s = settings;
    s.windowWidth = windowWidth;
    s.windowHeight = windowHeight;
    s.toolbarHeight = toolbarHeight;
    s.fullscreen = fullscreen;
    s.useCustomBackground = settings.useCustomBackground || backgroundAtStartPending;
    s.categories = library.categories();
    const auto placement = windowPlacement(nativeHandle());
    if (placement.maximized) {
        s.windowWidth = static_cast<float>(placement.normal.width);
        s.windowHeight = static_cast<float>(placement.normal.height);
        s.windowX = placement.normal.x;
        s.windowY = placement.normal.y;
        s.windowMaximized = true;
    } else {
        const auto position = window.getPosition();
        s.windowX = position.x;
        s.windowY = position.y;
        s.windowMaximized = false;
    }
    // Failure keeps the settings in memory only, as nothing can be done about a
    // read-only folder from here; the old file stays intact.
    (void)writeFileAtomically(settingsPath(), writeSettings(s));
}

}  // namespace ludexa
