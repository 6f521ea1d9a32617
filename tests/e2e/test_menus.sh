#!/usr/bin/env bash
# The drawn menus and the tag bar: the blank-area menu changes the sort mode
# in set.ini, a category tag shows only its games, and the theme menu
# recolours the grid. (The icon menu's favourite: test_db_locked.sh.) They
# behave as pop-up menus: Escape closes the open menu and the program keeps
# running; a left click outside only closes the menu, a right click outside
# opens the menu of where it landed. Searching on a narrow window: typing on
# the grid focuses the search box, a click on the box reaches it, not a
# category tag under it, the search filters by the pinyin initials of a
# Chinese name, and Enter starts the one game found.
source "$(dirname "$0")/lib.sh"
source "$E2E_DIR/ui_lib.sh"

base=$(make_portable "menus")
"$E2E_DIR/../../scripts/demo" "$base" "$LUDEXA_BIN" >/dev/null
target_id=$(sql "$base/data.db" "SELECT id FROM games WHERE name='中国人'")
start_launcher "$base"

# Right click on empty grid space, hover "排序方式  >", choose "按名称排序".
# The menu is three items tall: opened at y 680 it fits below the point. The
# five-entry sort submenu would leave the window below: it opens upwards,
# ending level with 排序方式 (y 716 to 752), its entries from y 572 on.
xdotool mousemove --sync 1000 680
grid_colour=$(window_pixel 900 626)
menu_colour=$(window_pixel 780 730)
click 1000 680 3
wait_pixel_not 780 730 "$menu_colour" "the blank-area menu did not open"
xdotool mousemove --sync 780 730
wait_pixel_not 900 626 "$grid_colour" "the sort submenu did not open"
xdotool mousemove --sync 900 730
xdotool mousemove --sync 900 626
click 900 626
wait_for 30 "set.ini does not hold the name sort" grep -q $'^sortMode=1\r$' "$base/set.ini"

# The tag bar: 动作, the first category, is the first dark tag right of the
# separator line.
screenshot "$base/tags.png"
separator_x=$(find_colour_x "$base/tags.png" 20 400 500 "100,110,130")
[ -n "$separator_x" ] || fail "no separator in the tag bar"
tag_x=$(find_colour_x "$base/tags.png" 9 "$separator_x" 200 "50,55,70")
[ -n "$tag_x" ] || fail "no category tag found"
click $((tag_x + 5)) 20
# The demo has eight games tagged 动作: cells 0 to 7 of the first row are filled, cell 8 is empty.
wait_pixel 1135 99 "235,235,240" "cell 8 after choosing 动作"
wait_pixel_not 1044 99 "235,235,240" "cell 7 is empty after choosing 动作"

# "全部", now the first dark tag, brings every game back.
screenshot "$base/tags.png"
click $(($(find_colour_x "$base/tags.png" 9 395 200 "50,55,70") + 5)) 20
wait_pixel_not 1135 99 "235,235,240" "cell 8 after choosing 全部"

# The theme menu of "换肤"; its second entry is at y 86 to 122.
click 115 22
wait_pixel 24 90 "50,50,55" "the theme menu opened"
send_key Escape
wait_pixel_not 24 90 "50,50,55" "the theme menu after Escape"
sleep 1  # on purpose: the check is that nothing happens
[ ! -f "$base/.exit" ] || fail "Escape with a menu open ended the program"
xdotool search --onlyvisible --name '^Ludexa ' >/dev/null || fail "the window is gone"

# A click on "帮助" while the menu is open closes the menu and nothing else.
click 115 22
wait_pixel 24 90 "50,50,55" "the theme menu opened again"
click 29 22
wait_pixel_not 24 90 "50,50,55" "the theme menu after a click outside"
sleep 1  # on purpose: the check is that nothing happens
if xdotool search --onlyvisible --name '^帮助' >/dev/null 2>&1; then fail "the click outside the menu opened the help"; fi

# 900 x 600: the tags end before the search box (x 655 to 783).
resize_launcher 900 600
type_text "z"
click 720 21
type_text "gr"
# "zgr" finds one game: cell 0 (x 281 to 353) filled, cell 1 (x 368 to 440)
# empty, and so is the bottom of the grid.
wait_pixel 404 99 "235,235,240" "second cell after searching zgr"
wait_pixel_not 317 99 "235,235,240" "first cell after searching zgr"
# With a menu open, a right click elsewhere closes it and opens the menu of
# the place it landed on: the game's menu over the blank-area menu, then the
# blank-area menu over the game's. (Probes below the item under the mouse.)
click 600 300 3
wait_pixel 604 380 "50,50,55" "the blank-area menu"
click 320 99 3
wait_pixel 324 359 "50,50,55" "the game's menu opened by a right click with a menu open"
wait_pixel_not 604 380 "50,50,55" "the blank-area menu after the right click on the game"
click 700 200 3
# (Moved left to (420, 200): its submenus need room on the right.)
wait_pixel 424 280 "50,50,55" "the blank-area menu opened by a right click with a menu open"
wait_pixel_not 324 359 "50,50,55" "the game's menu after the right click on the blank area"
send_key Escape
wait_pixel_not 424 280 "50,50,55" "the blank-area menu after Escape"

# "深色模式" turns the grid dark.
click 115 22
wait_pixel 24 90 "50,50,55" "the theme menu opened for 深色模式"
click 60 104
wait_pixel 800 500 "45,45,48" "grid colour of the dark theme"
wait_for 30 "set.ini does not hold the theme" grep -q $'^themeIndex=1\r$' "$base/set.ini"
send_key Return
wait_for 30 "Enter did not start the game" test -s "$base/launch.log"
assert_eq "game=$target_id" "$(cut -f1 "$base/launch.log")" "the game Enter started"
quit_launcher
echo PASS
