// Drawn menus: placement near the window edges, hover and the sort choice.
#include <gtest/gtest.h>

#include "ui/menus.h"

using namespace ludexa;

TEST(Menus, PlacementFlipsNearTheEdges) {
    EXPECT_EQ(placeBlankMenu(100, 100, 1200, 800), sf::Vector2f(100, 100));
    EXPECT_EQ(placeBlankMenu(1000, 750, 1200, 800), sf::Vector2f(720, 642));  // three items tall
    EXPECT_EQ(placeBlankMenu(100, 692, 1200, 800), sf::Vector2f(100, 692));
    EXPECT_EQ(placeIconMenu(1100, 700, 1200, 800), sf::Vector2f(950, 412));
    EXPECT_EQ(placeIconMenu(1050, 512, 1200, 800), sf::Vector2f(1050, 512));  // exactly fits
}

TEST(Menus, BlankMenuHoverOpensAndClosesSubmenus) {
    const sf::Vector2f pos{100, 100};
    BlankMenuHover h;
    h = blankMenuHover(h, pos, 110, 140);  // second main item
    EXPECT_EQ(h.mainItem, 1);
    EXPECT_TRUE(h.submenuOpen);
    h = blankMenuHover(h, pos, 240, 136 + 36 + 5);  // sort submenu, second entry
    EXPECT_EQ(h.subItem, 1);
    h = blankMenuHover(h, pos, 240, 136 + 3 * 36 + 5);  // below its three entries
    EXPECT_FALSE(h.submenuOpen);
    EXPECT_EQ(h.mainItem, -1);
    h = blankMenuHover(h, pos, 110, 105);
    EXPECT_EQ(h.mainItem, 0);
    h = blankMenuHover(h, pos, 240, 100 + 5 * 36 + 5);  // size submenu has six entries
    EXPECT_EQ(h.subItem, 5);
    // The third item acts by itself: hovering it closes the open submenu.
    h = blankMenuHover(h, pos, 110, 100 + 2 * 36 + 5);
    EXPECT_EQ(h.mainItem, kBlankMenuImportItem);
    EXPECT_FALSE(h.submenuOpen);
    h = blankMenuHover(h, pos, 240, 100 + 2 * 36 + 5);  // where a submenu would be
    EXPECT_EQ(h.mainItem, kBlankMenuImportItem);
}

TEST(Menus, ItemHitTest) {
    EXPECT_EQ(menuItemAt({10, 10}, 150, 8, 20, 10), 0);
    EXPECT_EQ(menuItemAt({10, 10}, 150, 8, 20, 10 + 8 * 36 - 1), 7);
    EXPECT_EQ(menuItemAt({10, 10}, 150, 8, 20, 10 + 8 * 36), -1);
    EXPECT_EQ(menuItemAt({10, 10}, 150, 8, 200, 20), -1);
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
    EXPECT_EQ(iconMenuLabel(2, false), "收藏游戏（未收藏）");
    EXPECT_EQ(iconMenuLabel(2, true), "取消收藏（已收藏）");
}
