// The drawn pop-up menus: the blank-area menu with its two submenus, the game
// icon menu, and the one-entry copy menu of the text area. Placement and hit
// testing are plain functions so they can be checked without a window.
#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Vector2.hpp>

#include <array>
#include <string>

namespace ludexa {

inline constexpr float kMenuItemHeight = 36;
inline constexpr float kMainMenuWidth = 130;
inline constexpr float kSubMenuWidth = 150;
inline constexpr float kIconMenuWidth = 150;
inline constexpr int kIconMenuItems = 8;
inline constexpr float kCopyMenuWidth = kSubMenuWidth / 2 + 20;

inline const std::array<std::string, 3> kBlankMenuItems = {"图标大小  >", "排序方式  >", "导入游戏平台..."};
inline constexpr int kBlankMenuItemCount = static_cast<int>(kBlankMenuItems.size());
inline constexpr int kBlankMenuImportItem = 2;  // acts at once: it has no submenu
inline const std::array<std::string, 6> kIconSizeItems = {"小图标", "中图标", "大图标", "加大图标", "超大图标", "最大图标"};
inline const std::array<std::string, 5> kSortItems = {"按时间排序", "按名称排序", "按顺序排序", "按游玩时长", "按最近游玩"};

std::string iconMenuLabel(int item, bool favorite);
int blankMenuItemCount();
// Entries of the submenu a main item opens; 0 for an item that acts itself.
int submenuItemCount(int mainItem);
const std::string& submenuLabel(int mainItem, int subItem);

// Top-left corners, moved left and up when the menu would leave the window,
// and never past its top or left edge.
sf::Vector2f placeBlankMenu(float x, float y, float windowWidth, float windowHeight);
sf::Vector2f placeIconMenu(float x, float y, float windowWidth, float windowHeight);

// Where a submenu of the given size opens beside its parent item: to the
// right, or to the left when it would leave the window there; level with the
// item, or ending level with the item's bottom when it would leave the window
// below; pushed inside the window when neither way fits.
sf::Vector2f placeSubmenu(sf::FloatRect parentItem, sf::Vector2f size, sf::Vector2f windowSize);
// The submenu of the blank-area menu's main item.
sf::Vector2f blankSubmenuPos(sf::Vector2f menuPos, int mainItem, sf::Vector2f windowSize);

// Item index under a point of a single-column menu, or -1.
int menuItemAt(sf::Vector2f menuPos, float width, int items, float x, float y);

struct BlankMenuHover {
    int mainItem = -1;  // also which submenu is open
    bool submenuOpen = false;
    int subItem = -1;
};
// The hover state after the mouse moved to (x, y).
BlankMenuHover blankMenuHover(BlankMenuHover current, sf::Vector2f menuPos, float x, float y, sf::Vector2f windowSize);

// The sort-mode choice: the same mode flips the direction; another mode starts
// ascending only when sorting by name (most played and latest played come first).
void chooseSortMode(int mode, int& sortMode, bool& sortAscending);

}  // namespace ludexa

namespace ludexa {

// The theme menu of the "换肤" button: one entry per theme, a separator, then
// "自定图片  >" whose submenu holds "启用" and "选择图片...".
inline const sf::Vector2f kThemeMenuPos{20, 50};
inline constexpr float kThemeSeparatorHeight = 9;
inline constexpr int kThemeCustomItem = 6;
inline const std::array<std::string, 2> kCustomPictureItems = {"启用", "选择图片..."};

float themeMenuItemY(int item);
// 0..5 a theme, kThemeCustomItem the picture entry, -1 elsewhere.
int themeMenuItemAt(float x, float y);
sf::Vector2f themeSubmenuPos(sf::Vector2f windowSize);

}  // namespace ludexa
