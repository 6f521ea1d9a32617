// The drawn menus: geometry, hover, and what each entry does.
#include "ui/menus.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "app/GameLauncher.h"
#include "appearance/themes.h"
#include "library/database.h"
#include "platform/dialogs.h"
#include "platform/paths.h"
#include "platform/shell.h"
#include "media/media_folder.h"
#include "ui/draw.h"

namespace ludexa {

std::string iconMenuLabel(int item, bool favorite) {
    static const char* const kLabels[kIconMenuItems] = {"启动游戏", "游戏设置", "", "统计游戏容量",
                                                        "游戏目录", "资源目录", "存档目录", "删除游戏"};
    if (item == 2) return favorite ? "取消收藏（已收藏）" : "收藏游戏（未收藏）";
    return item >= 0 && item < kIconMenuItems ? kLabels[item] : "";
}

int blankMenuItemCount() { return static_cast<int>(kBlankMenuItems.size()); }

int submenuItemCount(int mainItem) {
    if (mainItem == 0) return static_cast<int>(kIconSizeItems.size());
    if (mainItem == 1) return static_cast<int>(kSortItems.size());
    return 0;
}

const std::string& submenuLabel(int mainItem, int subItem) {
    static const std::string kNone;
    if (subItem < 0 || subItem >= submenuItemCount(mainItem)) return kNone;
    const auto k = static_cast<std::size_t>(subItem);
    return mainItem == 0 ? kIconSizeItems[k] : kSortItems[k];
}

namespace {

// Flips a menu of size (w, h) opened at (x, y) left and up where it would
// leave the window; a window too small for it still shows its top-left part.
sf::Vector2f placeAtPoint(float x, float y, float w, float h, float flipX, float windowWidth, float windowHeight) {
    if (x + flipX > windowWidth) x -= flipX;
    if (y + h > windowHeight) y -= h;
    (void)w;
    return {std::max(0.0f, x), std::max(0.0f, y)};
}

}  // namespace

sf::Vector2f placeBlankMenu(float x, float y, float windowWidth, float windowHeight) {
    // Room is kept for a submenu on the right; a submenu that still does not
    // fit flips on its own (placeSubmenu).
    const float height = kMenuItemHeight * static_cast<float>(blankMenuItemCount());
    return placeAtPoint(x, y, kMainMenuWidth, height, kMainMenuWidth + kSubMenuWidth, windowWidth, windowHeight);
}

sf::Vector2f placeIconMenu(float x, float y, float windowWidth, float windowHeight) {
    return placeAtPoint(x, y, kIconMenuWidth, kIconMenuItems * kMenuItemHeight, kIconMenuWidth, windowWidth,
                        windowHeight);
}

sf::Vector2f placeSubmenu(sf::FloatRect item, sf::Vector2f size, sf::Vector2f window) {
    float x = item.left + item.width;
    if (x + size.x > window.x) x = item.left - size.x;
    if (x < 0) x = std::max(0.0f, window.x - size.x);
    float y = item.top;
    if (y + size.y > window.y) y = item.top + item.height - size.y;
    if (y < 0) y = std::max(0.0f, std::min(item.top, window.y - size.y));
    return {x, y};
}

sf::Vector2f blankSubmenuPos(sf::Vector2f menuPos, int mainItem, sf::Vector2f windowSize) {
    const sf::FloatRect item(menuPos.x, menuPos.y + kMenuItemHeight * static_cast<float>(mainItem), kMainMenuWidth,
                             kMenuItemHeight);
    const sf::Vector2f size(kSubMenuWidth, kMenuItemHeight * static_cast<float>(submenuItemCount(mainItem)));
    return placeSubmenu(item, size, windowSize);
}

int menuItemAt(sf::Vector2f pos, float width, int items, float x, float y) {
    if (x < pos.x || x > pos.x + width || y < pos.y || y >= pos.y + static_cast<float>(items) * kMenuItemHeight)
        return -1;
    return static_cast<int>(std::floor((y - pos.y) / kMenuItemHeight));
}

BlankMenuHover blankMenuHover(BlankMenuHover h, sf::Vector2f pos, float x, float y, sf::Vector2f windowSize) {
    const int main = menuItemAt(pos, kMainMenuWidth, blankMenuItemCount(), x, y);
    if (main >= 0) {
        if (main != h.mainItem) h = {main, submenuItemCount(main) > 0, -1};
        return h;
    }
    if (!h.submenuOpen) return h;
    const sf::Vector2f subPos = blankSubmenuPos(pos, h.mainItem, windowSize);
    const int sub = menuItemAt(subPos, kSubMenuWidth, submenuItemCount(h.mainItem), x, y);
    if (sub >= 0) {
        h.subItem = sub;
    } else {
        h = {-1, false, -1};
    }
    return h;
}

void chooseSortMode(int mode, int& sortMode, bool& sortAscending) {
    if (mode == sortMode) {
        sortAscending = !sortAscending;
    } else {
        sortMode = mode;
        sortAscending = mode == 1;
    }
}

}  // namespace ludexa

namespace ludexa {

bool GameLauncher::anyMenuOpen() const {
    return menus.blankOpen || menus.iconOpen || menus.copyOpen || menus.themeOpen || searchBox.contextMenuVisible;
}

void GameLauncher::closeAllMenus() {
    menus.blankOpen = false;
    menus.blankSubmenuOpen = false;
    menus.blankHoverItem = menus.blankSubmenuHoverItem = -1;
    menus.iconOpen = false;
    menus.iconHoverItem = -1;
    menus.copyOpen = false;
    menus.copyHover = false;
    menus.themeOpen = false;
    menus.themeSubmenuOpen = false;
    menus.themeHoverItem = menus.themeSubmenuHoverItem = -1;
    searchBox.contextMenuVisible = false;
}

bool GameLauncher::openMenuContains(float x, float y) const {
    const sf::Vector2f windowSize(windowWidth, windowHeight);
    if (menus.blankOpen) {
        if (menuItemAt(menus.blankPos, kMainMenuWidth, blankMenuItemCount(), x, y) >= 0) return true;
        if (menus.blankSubmenuOpen && menus.blankHoverItem >= 0 &&
            menuItemAt(blankSubmenuPos(menus.blankPos, menus.blankHoverItem, windowSize), kSubMenuWidth,
                       submenuItemCount(menus.blankHoverItem), x, y) >= 0)
            return true;
    }
    if (menus.iconOpen && menuItemAt(menus.iconPos, kIconMenuWidth, kIconMenuItems, x, y) >= 0) return true;
    if (menus.copyOpen && menuItemAt(menus.copyPos, kCopyMenuWidth, 1, x, y) >= 0) return true;
    if (menus.themeOpen) {
        if (themeMenuItemAt(x, y) >= 0) return true;
        if (menus.themeSubmenuOpen &&
            menuItemAt(themeSubmenuPos(windowSize), kSubMenuWidth, static_cast<int>(kCustomPictureItems.size()), x, y) >= 0)
            return true;
    }
    return searchBox.contextMenuVisible && searchBox.contextMenuContains(x, y);
}

// Menus behave as pop-up menus: while one is open a left click goes to it
// alone. An entry acts; a click on a parent entry keeps the menu open; any
// other click only closes it. The entry's action runs after one frame
// without the menu was shown, so a message box or dialog it opens never has
// the menu drawn behind it.
bool GameLauncher::handleMenuClick(float x, float y) {
    if (!anyMenuOpen()) return false;
    const sf::Vector2f windowSize(windowWidth, windowHeight);
    std::function<void()> action;
    bool keepOpen = false;
    if (menus.blankOpen) {
        const int main = menuItemAt(menus.blankPos, kMainMenuWidth, blankMenuItemCount(), x, y);
        int sub = -1;
        if (menus.blankSubmenuOpen && menus.blankHoverItem >= 0)
            sub = menuItemAt(blankSubmenuPos(menus.blankPos, menus.blankHoverItem, windowSize), kSubMenuWidth,
                             submenuItemCount(menus.blankHoverItem), x, y);
        if (sub >= 0) {
            const int openMain = menus.blankHoverItem;
            action = [this, openMain, sub] { performBlankMenuItem(openMain, sub); };
        } else if (main >= 0 && submenuItemCount(main) > 0) {
            keepOpen = true;
            if (main != menus.blankHoverItem) {
                menus.blankHoverItem = main;
                menus.blankSubmenuOpen = true;
                menus.blankSubmenuHoverItem = -1;
            }
        } else if (main >= 0) {
            action = [this, main] { performBlankMenuItem(main, -1); };
        }
    } else if (menus.iconOpen) {
        const int item = menuItemAt(menus.iconPos, kIconMenuWidth, kIconMenuItems, x, y);
        if (item >= 0) action = [this, item] { performIconMenuItem(item); };
    } else if (menus.copyOpen) {
        if (menuItemAt(menus.copyPos, kCopyMenuWidth, 1, x, y) == 0) action = [this] { textBox.copySelection(); };
    } else if (menus.themeOpen) {
        const int item = themeMenuItemAt(x, y);
        const int sub =
            menus.themeSubmenuOpen
                ? menuItemAt(themeSubmenuPos(windowSize), kSubMenuWidth, static_cast<int>(kCustomPictureItems.size()), x, y)
                : -1;
        if (item == kThemeCustomItem) {
            keepOpen = true;
            menus.themeHoverItem = item;
            menus.themeSubmenuOpen = true;
        } else if (item >= 0 && item < static_cast<int>(THEMES.size())) {
            action = [this, item] { chooseTheme(item); };
        } else if (sub == 0) {
            action = [this] { toggleCustomBackground(); };
        } else if (sub == 1) {
            action = [this] { pickBackgroundPicture(); };
        }
    } else if (searchBox.contextMenuContains(x, y)) {
        action = [this] {
            searchBox.focused = true;
            const auto before = searchBox.text;
            searchBox.pasteFromClipboard();
            if (searchBox.text != before) handleSearchChange();
        };
    }
    if (keepOpen) return true;
    closeAllMenus();
    if (action) {
        render();
        action();
    }
    return true;
}

void GameLauncher::openBlankMenu(float x, float y) {
    closeAllMenus();
    menus.blankPos = placeBlankMenu(x, y, windowWidth, windowHeight);
    menus.blankOpen = true;
}

void GameLauncher::openIconMenu(float x, float y, int gameIndex) {
    closeAllMenus();
    menus.iconPos = placeIconMenu(x, y, windowWidth, windowHeight);
    menus.iconOpen = true;
    menus.iconHoverItem = -1;
    menus.iconGame = gameIndex;
    selectGame(gameIndex);
}

void GameLauncher::performBlankMenuItem(int mainItem, int subItem) {
    if (mainItem == 0 && subItem >= 0 && subItem <= 5) {
        settings.iconSize = subItem;  // written by the next save
    } else if (mainItem == kBlankMenuImportItem) {
        importGameStores();
    } else if (mainItem == 1 && subItem >= 0 && subItem < submenuItemCount(1)) {
        chooseSortMode(subItem, settings.sortMode, settings.sortAscending);
        sortGames();
        saveConfig();
    }
}

void GameLauncher::performIconMenuItem(int item) {
    const int g = menus.iconGame;
    if (g < 0 || static_cast<std::size_t>(g) >= library.games().size()) return;
    const auto owner = nativeHandle();
    switch (item) {
        case 0: launchGame(g); break;
        case 1: showGameSettingsDialog(g); break;
        case 2:
            setFavorite(g, !library.games()[static_cast<std::size_t>(g)].is_favorite);
            updateTextContent();
            break;
        case 3:
            if (library.games()[static_cast<std::size_t>(g)].folder_path.empty()) {
                showMessageBox({"游戏目录未设置，无法统计容量。", "统计容量", MessageIcon::Information, MessageButtons::Ok, owner});
                discardInputAfterModal();
            } else {
                showSizeCountingDialog(g);
            }
            break;
        case 4: {
            const GameInfo& game = library.games()[static_cast<std::size_t>(g)];
            std::string folder = game.folder_path;
            if (folder.empty()) {
                const auto cut = game.exe_path.find_last_of("\\/");
                folder = cut == std::string::npos ? game.exe_path : game.exe_path.substr(0, cut);
            }
            if (folder.empty()) break;
            // Like the save folder: a folder that is gone is said, not opened in silence.
            if (!isDirectory(folder)) {
                showMessageBox({"游戏目录不存在或无法访问。", "游戏目录", MessageIcon::Warning, MessageButtons::Ok, owner});
                discardInputAfterModal();
            } else if (const auto opened = openWithDefaultHandler(folder); !opened.started) {
                showMessageBox({"无法打开游戏目录。\n" + opened.error, "游戏目录", MessageIcon::Warning,
                                MessageButtons::Ok, owner});
                discardInputAfterModal();
            }
            break;
        }
        case 5: {
            const std::string& name = library.games()[static_cast<std::size_t>(g)].name;
            const std::string folder = gameMediaFolder(mediaRoot(), name);
            const std::string shown = folder.empty() ? mediaRoot() + name : folder.substr(0, folder.size() - 1);
            if (folder.empty() || !isDirectory(shown)) {
                showMessageBox({"资源目录不存在：\n" + shown + "\n\n请先使用【生成资源目录】功能创建。", "提示",
                                MessageIcon::Information, MessageButtons::Ok, owner});
                discardInputAfterModal();
            } else {
                (void)openWithDefaultHandler(shown);
            }
            break;
        }
        case 6: {
            const std::string& saveDir = library.games()[static_cast<std::size_t>(g)].save_dir;
            if (saveDir.empty()) {
                showMessageBox({"该游戏存档目录未设置。", "存档目录", MessageIcon::Information, MessageButtons::Ok, owner});
                discardInputAfterModal();
            } else if (!isDirectory(saveDir)) {
                showMessageBox({"存档目录不存在或无法访问。", "存档目录", MessageIcon::Warning, MessageButtons::Ok, owner});
                discardInputAfterModal();
            } else {
                (void)openWithDefaultHandler(saveDir);
            }
            break;
        }
        case 7: deleteGame(g); break;
        default: break;
    }
}

}  // namespace ludexa

namespace ludexa {

float themeMenuItemY(int item) {
    return kThemeMenuPos.y + kMenuItemHeight * static_cast<float>(item) +
           (item >= kThemeCustomItem ? kThemeSeparatorHeight : 0);
}

int themeMenuItemAt(float x, float y) {
    if (x < kThemeMenuPos.x || x > kThemeMenuPos.x + kMainMenuWidth) return -1;
    for (int k = 0; k <= kThemeCustomItem; ++k) {
        const float top = themeMenuItemY(k);
        if (y >= top && y < top + kMenuItemHeight) return k;
    }
    return -1;
}

sf::Vector2f themeSubmenuPos(sf::Vector2f windowSize) {
    const sf::FloatRect item(kThemeMenuPos.x, themeMenuItemY(kThemeCustomItem), kMainMenuWidth, kMenuItemHeight);
    return placeSubmenu(item, {kSubMenuWidth, kMenuItemHeight * static_cast<float>(kCustomPictureItems.size())},
                        windowSize);
}

}  // namespace ludexa
