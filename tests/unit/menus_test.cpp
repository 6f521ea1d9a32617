// Drawn menus: placement near the window edges, hover and the sort choice.
#include <gtest/gtest.h>

#include "ui/menus.h"

using namespace ludexa;

TEST(Menus, BlankMenuHoverOpensAndClosesSubmenus) {
    const sf::Vector2f pos{100, 100};
    BlankMenuHover h;
    const sf::Vector2f window{1200, 800};
    h = blankMenuHover(h, pos, 110, 140, window);  // second main item
    EXPECT_EQ(h.mainItem, 1);
    EXPECT_TRUE(h.submenuOpen);
    h = blankMenuHover(h, pos, 240, 136 + 4 * 36 + 5, window);  // the sort submenu's last entry, "按最近游玩"
    EXPECT_EQ(h.subItem, 4);
    h = blankMenuHover(h, pos, 240, 136 + 5 * 36 + 5, window);  // below its five entries
    EXPECT_FALSE(h.submenuOpen);
    EXPECT_EQ(h.mainItem, -1);
    // The third item acts by itself: hovering it closes the open submenu.
    h = blankMenuHover(h, pos, 110, 100 + 2 * 36 + 5, window);
    EXPECT_EQ(h.mainItem, kBlankMenuImportItem);
    EXPECT_FALSE(h.submenuOpen);
    h = blankMenuHover(h, pos, 240, 100 + 2 * 36 + 5, window);  // where a submenu would be
    EXPECT_EQ(h.mainItem, kBlankMenuImportItem);
}

TEST(Menus, OpenWhereTheyFit) {
    EXPECT_EQ(placeBlankMenu(1000, 750, 1200, 800), sf::Vector2f(720, 642));  // three items tall
    EXPECT_EQ(placeBlankMenu(100, 692, 1200, 800), sf::Vector2f(100, 692));
    EXPECT_EQ(placeIconMenu(1100, 700, 1200, 800), sf::Vector2f(950, 412));
    EXPECT_EQ(placeIconMenu(1050, 512, 1200, 800), sf::Vector2f(1050, 512));  // exactly fits
    EXPECT_EQ(placeIconMenu(10, 10, 100, 100), sf::Vector2f(0, 0));  // a tiny window: never off its top-left

    const sf::Vector2f window{900, 600};
    const sf::FloatRect item(100, 100, 130, 36);
    EXPECT_EQ(placeSubmenu(item, {150, 216}, window), sf::Vector2f(230, 100));  // right, level with the item
    // Near the bottom: it ends level with the item's bottom edge.
    EXPECT_EQ(placeSubmenu({100, 540, 130, 36}, {150, 216}, window), sf::Vector2f(230, 360));
    // Near the right edge: it opens to the left of the menu.
    EXPECT_EQ(placeSubmenu({700, 100, 130, 36}, {150, 216}, window), sf::Vector2f(550, 100));
    // Taller than the room above and below: pushed inside from the top.
    EXPECT_EQ(placeSubmenu({100, 100, 130, 36}, {150, 216}, {900, 200}), sf::Vector2f(230, 0));

    // The blank-area menu opened at the bottom of a 900 x 600 window: every
    // entry of the six-entry size submenu is inside the window and reachable.
    const auto menu = placeBlankMenu(500, 590, 900, 600);
    const auto sub = blankSubmenuPos(menu, 0, window);
    EXPECT_LE(sub.y + 6 * kMenuItemHeight, 600);
    BlankMenuHover h;
    h = blankMenuHover(h, menu, menu.x + 10, menu.y + 5, window);
    ASSERT_TRUE(h.submenuOpen);
    for (int k = 0; k < submenuItemCount(0); ++k) {
        h = blankMenuHover(h, menu, sub.x + 20, sub.y + kMenuItemHeight * static_cast<float>(k) + 18, window);
        EXPECT_EQ(h.subItem, k);
        EXPECT_EQ(h.mainItem, 0);
    }
    EXPECT_EQ(submenuLabel(0, 5), "最大图标");
    EXPECT_EQ(submenuLabel(1, 99), "");
}

TEST(Menus, SortChoiceFlipsOrStarts) {
    int mode = 2;
    bool ascending = false;
    chooseSortMode(2, mode, ascending);
    EXPECT_TRUE(ascending);  // the same mode flips the direction
    chooseSortMode(1, mode, ascending);
    EXPECT_EQ(mode, 1);
    EXPECT_TRUE(ascending);  // by name starts A to Z
    chooseSortMode(0, mode, ascending);
    EXPECT_FALSE(ascending);  // by time starts newest first
    chooseSortMode(3, mode, ascending);
    EXPECT_FALSE(ascending);  // by time played starts with the most played
    EXPECT_EQ(iconMenuLabel(2, false), "收藏游戏（未收藏）");
    EXPECT_EQ(iconMenuLabel(2, true), "取消收藏（已收藏）");
}
