// loadConfig / saveConfig: set.ini in the data folder (beside a portable
// executable), copied to and from the launcher's fields through the plain
// Settings record.
#include "app/GameLauncher.h"
#include "appearance/themes.h"
#include "platform/dialogs.h"
#include "platform/paths.h"
#include "platform/window.h"

namespace ludexa {

Settings GameLauncher::currentSettings() const {
    Settings s;
    s.leftPanelWidthRatio = leftPanelWidthRatio;
    s.leftTopHeightRatio = leftTopHeightRatio;
    s.toolbarHeight = toolbarHeight;
    s.windowWidth = windowWidth;
    s.windowHeight = windowHeight;
    s.windowX = windowX;
    s.windowY = windowY;
    s.windowMaximized = windowMaximized;
    s.iconSize = iconSize;
    s.themeIndex = themeIndex;
    s.useCustomBackground = useCustomBackground || backgroundAtStartPending;
    s.fontSize = fontSize;
    s.fontPath = fontPath;
    s.sortMode = sortMode;
    s.sortAscending = sortAscending;
    s.sleepEnabled = sleepEnabled;
    s.sleepAutoMinute = sleepAutoMinute;
    s.sleepOnLaunch = sleepOnLaunch;
    s.fmtJpg = fmtJpg;
    s.fmtPng = fmtPng;
    s.fmtBmp = fmtBmp;
    s.fmtWebp = fmtWebp;
    s.fmtAvif = fmtAvif;
    s.fmtGif = fmtGif;
    s.fullscreen = fullscreen;
    s.startFullscreen = startFullscreen;
    s.startDisplayMode = startDisplayMode;
    s.gamepadMode = gamepadMode;
    s.framerate_fps = framerate_fps;
    s.categories = categories;
    return s;
}

void GameLauncher::applySettings(const Settings& s) {
    leftPanelWidthRatio = s.leftPanelWidthRatio;
    leftTopHeightRatio = s.leftTopHeightRatio;
    toolbarHeight = s.toolbarHeight;
    windowWidth = s.windowWidth;
    windowHeight = s.windowHeight;
    windowX = s.windowX;
    windowY = s.windowY;
    windowMaximized = s.windowMaximized;
    iconSize = s.iconSize;
    themeIndex = s.themeIndex;
    useCustomBackground = s.useCustomBackground;
    fontSize = s.fontSize;
    fontPath = s.fontPath;
    sortMode = s.sortMode;
    sortAscending = s.sortAscending;
    sleepEnabled = s.sleepEnabled;
    sleepAutoMinute = s.sleepAutoMinute;
    sleepOnLaunch = s.sleepOnLaunch;
    fmtJpg = s.fmtJpg;
    fmtPng = s.fmtPng;
    fmtBmp = s.fmtBmp;
    fmtWebp = s.fmtWebp;
    fmtAvif = s.fmtAvif;
    fmtGif = s.fmtGif;
    startFullscreen = s.startFullscreen;
    startDisplayMode = s.startDisplayMode;
    gamepadMode = s.gamepadMode;
    framerate_fps = s.framerate_fps;
    categories = s.categories;
}

void GameLauncher::loadConfig() {
    // From now on every move and resize is followed, so that saveConfig can
    // store the restored geometry of a maximised window.
    watchWindowPlacement(nativeHandle());
    std::string text;
    const auto read = readSettingsFile(settingsPath(), text);
    if (read == SettingsFileRead::Missing) return;
    Settings s = currentSettings();
    const auto result = readSettings(text, s, static_cast<int>(THEMES.size()));
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
        boundWindowSize(s, screen.width, screen.height);
    }
    applySettings(s);
    if (result.windowSizeGiven)
        window.setSize({static_cast<unsigned>(windowWidth), static_cast<unsigned>(windowHeight)});
    if (useCustomBackground) {
        // Decoded off the main thread; the theme's colours show meanwhile.
        useCustomBackground = false;
        startBackgroundLoad(getBackgroundImagePath(), BackgroundUse::AtStart);
    }
    leftPanelWidth = leftPanelWidthRatio * windowWidth;
    leftTopHeight = (windowHeight - (toolbarHeight + 4)) * leftTopHeightRatio;
}

void GameLauncher::saveConfig() {
    if (keepSettingsFile) return;
    Settings s = currentSettings();
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
