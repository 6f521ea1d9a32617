// The theme menu of the "换肤" button, drawn like the blank-area menu, and the
// custom background picture (kept as ui.jpg, appearance/background.cpp).
#include "app/GameLauncher.h"
#include "appearance/background.h"
#include "appearance/themes.h"
#include "app/settings.h"
#include "platform/dialogs.h"
#include "platform/event_wait.h"
#include "platform/image_codecs.h"
#include "platform/paths.h"
#include "ui/draw.h"
#include "ui/menus.h"

#include <functional>
#include <string_view>

namespace ludexa {
namespace {

// "所选图片过大（16000 × 16000 像素），无法用作背景。"
std::string tooLargeMessage(const PictureHeader& claimed) {
    if (claimed.width <= 0 || claimed.height <= 0) return "所选图片过大，无法用作背景。";
    return "所选图片过大（" + std::to_string(claimed.width) + " × " + std::to_string(claimed.height) +
           " 像素），无法用作背景。";
}

}  // namespace

void GameLauncher::openThemeMenu() {
    closeAllMenus();
    menus.themeOpen = true;
}

void GameLauncher::themeMenuHover(float x, float y) {
    if (!menus.themeOpen) return;
    const int item = themeMenuItemAt(x, y);
    if (item >= 0) {
        menus.themeHoverItem = item;
        menus.themeSubmenuOpen = item == kThemeCustomItem;
        menus.themeSubmenuHoverItem = -1;
        return;
    }
    if (menus.themeSubmenuOpen)
        menus.themeSubmenuHoverItem = menuItemAt(themeSubmenuPos({windowWidth, windowHeight}), kSubMenuWidth,
                                           static_cast<int>(kCustomPictureItems.size()), x, y);
}

void GameLauncher::drawThemeMenu() {
    if (!menus.themeOpen) return;
    const sf::Color fill = kMenuItem.fill, outline = kMenuItem.outline;
    auto item = [&](float x, float y, float w, const std::string& label, bool hovered, bool checked) {
        outlinedRect(window, x, y, w, kMenuItemHeight, hovered ? kMenuHover : fill, outline);
        auto text = makeText(label, uiFont, 14, checked ? kMenuChosen : sf::Color::White);
        text.setPosition(x + 12, y + 9);
        window.draw(text);
        if (checked) {
            auto mark = makeText("√", uiFont, 14, kMenuChosen);
            mark.setPosition(x + w - 28, y + 9);
            window.draw(mark);
        }
    };
    for (int k = 0; k < static_cast<int>(THEMES.size()); ++k) {
        item(kThemeMenuPos.x, themeMenuItemY(k), kMainMenuWidth, THEMES[static_cast<std::size_t>(k)].name,
             k == menus.themeHoverItem, k == settings.themeIndex && !settings.useCustomBackground);
    }
    fillRect(window, kThemeMenuPos.x, themeMenuItemY(kThemeCustomItem) - kThemeSeparatorHeight, kMainMenuWidth,
             kThemeSeparatorHeight, fill);
    fillRect(window, kThemeMenuPos.x + 8, themeMenuItemY(kThemeCustomItem) - kThemeSeparatorHeight / 2 - 0.5f,
             kMainMenuWidth - 16, 1, outline);
    item(kThemeMenuPos.x, themeMenuItemY(kThemeCustomItem), kMainMenuWidth, "自定图片  >",
         menus.themeHoverItem == kThemeCustomItem, false);
    if (menus.themeSubmenuOpen) {
        const auto pos = themeSubmenuPos({windowWidth, windowHeight});
        item(pos.x, pos.y, kSubMenuWidth, kCustomPictureItems[0], menus.themeSubmenuHoverItem == 0,
             settings.useCustomBackground);
        item(pos.x, pos.y + kMenuItemHeight, kSubMenuWidth, kCustomPictureItems[1], menus.themeSubmenuHoverItem == 1, false);
    }
}

void GameLauncher::chooseTheme(int index) {
    // A background still decoding would otherwise replace the theme chosen now.
    backgroundTask.abandon();
    backgroundAtStartPending = false;
    settings.themeIndex = index;
    settings.useCustomBackground = false;
    applyThemeToTextBox();
    saveConfig();
}

void GameLauncher::toggleCustomBackground() {
    if (settings.useCustomBackground || backgroundAtStartPending) {
        backgroundTask.abandon();
        backgroundAtStartPending = false;
        settings.useCustomBackground = false;
        applyThemeToTextBox();
        saveConfig();
        return;
    }
    // Switched on once ui.jpg has been decoded (collectBackgroundPicture).
    startBackgroundLoad(getBackgroundImagePath(), BackgroundUse::Switched);
}

void GameLauncher::pickBackgroundPicture() {
    const auto path = chooseFile("选择图片", nativeHandle(),
                                 {{"图片文件", "*.jpg;*.jpeg;*.png;*.bmp;*.gif;*.webp;*.avif"}, {"所有文件", "*"}});
    discardInputAfterModal();
    if (!path) return;
    startBackgroundLoad(*path, BackgroundUse::Chosen);
}

void GameLauncher::startBackgroundLoad(const std::string& path, BackgroundUse use) {
    const auto desktop = sf::VideoMode::getDesktopMode();
    const int width = static_cast<int>(desktop.width), height = static_cast<int>(desktop.height);
    // Only a chosen picture is kept as ui.jpg; the JPEG is made on the worker too.
    const bool keep = use == BackgroundUse::Chosen;
    const std::function<BackgroundPicture()> prepare = [path, width, height, keep] {
        return prepareBackgroundPicture(path, width, height, keep);
    };
    backgroundUse = use;
    backgroundAtStartPending = use == BackgroundUse::AtStart;
    if (!backgroundTask.start(prepare, wakeMainLoop)) {
        // No thread to be had: done here, late rather than never.
        backgroundTask.abandon();
        backgroundAtStartPending = false;
        BackgroundPicture ready = prepare();
        (void)applyBackgroundPicture(std::move(ready));
    }
}

bool GameLauncher::collectBackgroundPicture() {
    BackgroundPicture ready;
    if (!backgroundTask.take(ready)) return false;
    backgroundAtStartPending = false;
    return applyBackgroundPicture(std::move(ready));
}

bool GameLauncher::applyBackgroundPicture(BackgroundPicture&& ready) {
    const BackgroundUse use = backgroundUse;
    sf::Texture texture;
    const bool shown = ready.outcome == PictureOutcome::Decoded && !ready.image.empty() &&
                       texture.create(static_cast<unsigned>(ready.image.width),
                                      static_cast<unsigned>(ready.image.height));
    if (!shown) {
        // At start the theme simply stays, as it did for a missing ui.jpg.
        if (use == BackgroundUse::AtStart) return false;
        std::string text;
        if (ready.outcome == PictureOutcome::TooLarge)
            text = tooLargeMessage(ready.claimed);
        else
            text = use == BackgroundUse::Switched ? "请先选择一张图片" : "无法读取所选图片。";
        showMessageBox({text, use == BackgroundUse::Switched ? "提示" : "选择图片",
                        use == BackgroundUse::Switched ? MessageIcon::Information : MessageIcon::Warning,
                        MessageButtons::Ok, nativeHandle()});
        discardInputAfterModal();
        return true;
    }
    texture.update(ready.image.pixels.data());
    texture.setSmooth(true);
    backgroundTexture.swap(texture);
    settings.useCustomBackground = true;
    applyThemeToTextBox();
    if (use == BackgroundUse::AtStart) return true;
    saveConfig();
    // A copy beside the executable is what the next start shows; the chosen
    // file may be moved or deleted meanwhile.
    if (use == BackgroundUse::Chosen &&
        (ready.jpeg.empty() ||
         !writeFileAtomically(getBackgroundImagePath(),
                              std::string_view(reinterpret_cast<const char*>(ready.jpeg.data()), ready.jpeg.size())))) {
        showMessageBox({"背景图片无法保存为 ui.jpg，下次启动时不会再显示。", "选择图片", MessageIcon::Warning,
                        MessageButtons::Ok, nativeHandle()});
        discardInputAfterModal();
    }
    return true;
}

}  // namespace ludexa
