// The theme menu of the "换肤" button, drawn like the blank-area menu, and the
// custom background picture (kept as ui.jpg, appearance/background.cpp).
#include "app/GameLauncher.h"
#include "appearance/background.h"
#include "appearance/themes.h"
#include "platform/dialogs.h"
#include "platform/image_codecs.h"
#include "platform/paths.h"
#include "ui/draw.h"
#include "ui/menus.h"

namespace ludexa {
namespace {

bool loadPicture(const std::string& path, sf::Texture& texture) { return loadBackgroundPicture(path, texture); }

}  // namespace

void GameLauncher::openThemeMenu() {
    closeAllMenus();
    themeMenuOpen = true;
}

void GameLauncher::themeMenuHover(float x, float y) {
    if (!themeMenuOpen) return;
    const int item = themeMenuItemAt(x, y);
    if (item >= 0) {
        themeMenuHoverItem = item;
        themeSubmenuOpen = item == kThemeCustomItem;
        themeSubmenuHoverItem = -1;
        return;
    }
    if (themeSubmenuOpen)
        themeSubmenuHoverItem = menuItemAt(themeSubmenuPos({windowWidth, windowHeight}), kSubMenuWidth,
                                           static_cast<int>(kCustomPictureItems.size()), x, y);
}

void GameLauncher::drawThemeMenu() {
    if (!themeMenuOpen) return;
    const sf::Color fill(50, 50, 55), outline(80, 80, 80), hover(80, 80, 100), chosen(100, 200, 100);
    auto item = [&](float x, float y, float w, const std::string& label, bool hovered, bool checked) {
        outlinedRect(window, x, y, w, kMenuItemHeight, hovered ? hover : fill, outline);
        auto text = makeText(label, uiFont, 14, checked ? chosen : sf::Color::White);
        text.setPosition(x + 12, y + 9);
        window.draw(text);
        if (checked) {
            auto mark = makeText("√", uiFont, 14, chosen);
            mark.setPosition(x + w - 28, y + 9);
            window.draw(mark);
        }
    };
    for (int k = 0; k < static_cast<int>(THEMES.size()); ++k) {
        item(kThemeMenuPos.x, themeMenuItemY(k), kMainMenuWidth, THEMES[static_cast<std::size_t>(k)].name,
             k == themeMenuHoverItem, k == themeIndex && !useCustomBackground);
    }
    fillRect(window, kThemeMenuPos.x, themeMenuItemY(kThemeCustomItem) - kThemeSeparatorHeight, kMainMenuWidth,
             kThemeSeparatorHeight, fill);
    fillRect(window, kThemeMenuPos.x + 8, themeMenuItemY(kThemeCustomItem) - kThemeSeparatorHeight / 2 - 0.5f,
             kMainMenuWidth - 16, 1, outline);
    item(kThemeMenuPos.x, themeMenuItemY(kThemeCustomItem), kMainMenuWidth, "自定图片  >",
         themeMenuHoverItem == kThemeCustomItem, false);
    if (themeSubmenuOpen) {
        const auto pos = themeSubmenuPos({windowWidth, windowHeight});
        item(pos.x, pos.y, kSubMenuWidth, kCustomPictureItems[0], themeSubmenuHoverItem == 0, useCustomBackground);
        item(pos.x, pos.y + kMenuItemHeight, kSubMenuWidth, kCustomPictureItems[1], themeSubmenuHoverItem == 1, false);
    }
}

void GameLauncher::chooseTheme(int index) {
    themeIndex = index;
    useCustomBackground = false;
    applyThemeToTextBox();
    saveConfig();
}

void GameLauncher::toggleCustomBackground() {
    if (useCustomBackground) {
        useCustomBackground = false;
    } else if (loadPicture(getBackgroundImagePath(), backgroundTexture)) {
        useCustomBackground = true;
    } else {
        showMessageBox({"请先选择一张图片", "提示", MessageIcon::Information, MessageButtons::Ok, 0});
        discardInputAfterModal();
    }
    applyThemeToTextBox();
    saveConfig();
}

void GameLauncher::pickBackgroundPicture() {
    const auto path = chooseFile("选择图片", nativeHandle(),
                                 {{"图片文件", "*.jpg;*.jpeg;*.png;*.bmp;*.gif;*.webp;*.avif"}, {"所有文件", "*"}});
    discardInputAfterModal();
    if (!path) return;
    RgbaImage image;
    if (!decodeBackgroundPicture(*path, image)) {
        showMessageBox({"无法读取所选图片。", "选择图片", MessageIcon::Warning, MessageButtons::Ok, nativeHandle()});
        discardInputAfterModal();
        return;
    }
    // Nothing larger than what covers the screen is kept, in memory or on disk.
    const auto desktop = sf::VideoMode::getDesktopMode();
    const PictureSize size = backgroundSizeFor(image.width, image.height, static_cast<int>(desktop.width),
                                               static_cast<int>(desktop.height));
    if (size.width != image.width || size.height != image.height)
        (void)resizePicture(image, size.width, size.height, image);
    sf::Texture texture;
    if (!texture.create(static_cast<unsigned>(image.width), static_cast<unsigned>(image.height))) return;
    texture.update(image.pixels.data());
    texture.setSmooth(true);
    backgroundTexture.swap(texture);
    useCustomBackground = true;
    applyThemeToTextBox();
    saveConfig();
    // A copy beside the executable is what the next start shows; the chosen
    // file may be moved or deleted meanwhile.
    if (!saveBackgroundPicture(image, getBackgroundImagePath())) {
        showMessageBox({"背景图片无法保存为 ui.jpg，下次启动时不会再显示。", "选择图片", MessageIcon::Warning,
                        MessageButtons::Ok, nativeHandle()});
        discardInputAfterModal();
    }
}

}  // namespace ludexa
