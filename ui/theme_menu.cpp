// The theme menu of the "换肤" button, drawn like the blank-area menu, and the
// custom background picture.
#include "app/GameLauncher.h"
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
    blankMenuOpen = false;
    iconMenuOpen = false;
    themeMenuOpen = true;
    themeMenuHoverItem = -1;
    themeSubmenuOpen = false;
    themeSubmenuHoverItem = -1;
}

bool GameLauncher::themeMenuClick(float x, float y) {
    if (!themeMenuOpen) return false;
    const int item = themeMenuItemAt(x, y);
    if (item == kThemeCustomItem) {
        themeSubmenuOpen = true;
        themeMenuHoverItem = item;
        return true;
    }
    const int sub = themeSubmenuOpen ? menuItemAt(themeSubmenuPos(), kSubMenuWidth, 2, x, y) : -1;
    themeMenuOpen = false;
    themeSubmenuOpen = false;
    // Like a native pop-up menu, the click that dismisses it is used up.
    if (item >= 0 && item < static_cast<int>(THEMES.size())) {
        chooseTheme(item);
    } else if (sub == 0) {
        toggleCustomBackground();
    } else if (sub == 1) {
        pickBackgroundPicture();
    }
    return true;
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
    if (themeSubmenuOpen) themeSubmenuHoverItem = menuItemAt(themeSubmenuPos(), kSubMenuWidth, 2, x, y);
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
        const auto pos = themeSubmenuPos();
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
    if (!path || !loadPicture(*path, backgroundTexture)) return;
    useCustomBackground = true;
    applyThemeToTextBox();
    saveConfig();
}

}  // namespace ludexa
