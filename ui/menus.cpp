// The drawn menus: geometry, hover, and what each entry does.
#include "ui/menus.h"

#include <cmath>

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

int submenuItemCount(int mainItem) { return mainItem == 0 ? 6 : mainItem == 1 ? 3 : 0; }

sf::Vector2f placeBlankMenu(float x, float y, float windowWidth, float windowHeight) {
    if (x + kMainMenuWidth + kSubMenuWidth > windowWidth) x -= kMainMenuWidth + kSubMenuWidth;
    if (y + kBlankMenuItemCount * kMenuItemHeight > windowHeight) y -= kBlankMenuItemCount * kMenuItemHeight;
    return {x, y};
}

sf::Vector2f placeIconMenu(float x, float y, float windowWidth, float windowHeight) {
    if (x + kIconMenuWidth > windowWidth) x -= kIconMenuWidth;
    if (y + kIconMenuItems * kMenuItemHeight > windowHeight) y -= kIconMenuItems * kMenuItemHeight;
    return {x, y};
}

int menuItemAt(sf::Vector2f pos, float width, int items, float x, float y) {
    if (x < pos.x || x > pos.x + width || y < pos.y || y >= pos.y + static_cast<float>(items) * kMenuItemHeight)
        return -1;
    return static_cast<int>(std::floor((y - pos.y) / kMenuItemHeight));
}

BlankMenuHover blankMenuHover(BlankMenuHover h, sf::Vector2f pos, float x, float y) {
    const int main = menuItemAt(pos, kMainMenuWidth, kBlankMenuItemCount, x, y);
    if (main >= 0) {
        if (main != h.mainItem) h = {main, submenuItemCount(main) > 0, -1};
        return h;
    }
    if (!h.submenuOpen) return h;
    const sf::Vector2f subPos{pos.x + kMainMenuWidth, pos.y + kMenuItemHeight * static_cast<float>(h.mainItem)};
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

void GameLauncher::openBlankMenu(float x, float y) {
    blankMenuPos = placeBlankMenu(x, y, windowWidth, windowHeight);
    blankMenuOpen = true;
    blankSubmenuOpen = false;
    blankMenuHoverItem = blankSubmenuHoverItem = -1;
    iconMenuOpen = false;
}

void GameLauncher::openIconMenu(float x, float y, int gameIndex) {
    blankMenuOpen = false;
    blankSubmenuOpen = false;
    iconMenuPos = placeIconMenu(x, y, windowWidth, windowHeight);
    iconMenuOpen = true;
    iconMenuHoverItem = -1;
    iconMenuGame = gameIndex;
    selectGame(gameIndex);
}

void GameLauncher::performBlankMenuItem(int mainItem, int subItem) {
    if (mainItem == 0 && subItem >= 0 && subItem <= 5) {
        iconSize = subItem;  // written by the next save
    } else if (mainItem == kBlankMenuImportItem) {
        importGameStores();
    } else if (mainItem == 1 && subItem >= 0 && subItem <= 2) {
        chooseSortMode(subItem, sortMode, sortAscending);
        sortGames();
        saveConfig();
    }
}

void GameLauncher::performIconMenuItem(int item) {
    const int g = iconMenuGame;
    if (g < 0 || static_cast<std::size_t>(g) >= games.size()) return;
    const auto owner = nativeHandle();
    switch (item) {
        case 0: launchGame(g); break;
        case 1: showGameSettingsDialog(g); break;
        case 2:
            setFavorite(g, !games[static_cast<std::size_t>(g)].is_favorite);
            updateTextContent();
            break;
        case 3:
            if (games[static_cast<std::size_t>(g)].folder_path.empty()) {
                showMessageBox({"游戏目录未设置，无法统计容量。", "统计容量", MessageIcon::Information, MessageButtons::Ok, owner});
                discardInputAfterModal();
            } else {
                showSizeCountingDialog(g);
            }
            break;
        case 4: {
            const GameInfo& game = games[static_cast<std::size_t>(g)];
            std::string folder = game.folder_path;
            if (folder.empty()) {
                const auto cut = game.exe_path.find_last_of("\\/");
                folder = cut == std::string::npos ? game.exe_path : game.exe_path.substr(0, cut);
            }
            if (!folder.empty()) (void)openWithDefaultHandler(folder);
            break;
        }
        case 5: {
            const std::string& name = games[static_cast<std::size_t>(g)].name;
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
            const std::string& saveDir = games[static_cast<std::size_t>(g)].save_dir;
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

sf::Vector2f themeSubmenuPos() { return {kThemeMenuPos.x + kMainMenuWidth, themeMenuItemY(kThemeCustomItem)}; }

}  // namespace ludexa
