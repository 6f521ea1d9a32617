#!/usr/bin/env bash
# The drawn menus and the tag bar: the blank-area menu changes the sort mode
# in set.ini, a category tag shows only its games, and the theme menu
# recolours the grid. (The icon menu's favourite: test_db_locked.sh.)
source "$(dirname "$0")/lib.sh"
source "$E2E_DIR/ui_lib.sh"

base=$(make_portable "menus")
"$E2E_DIR/../../scripts/demo" "$base" "$LUDEXA_BIN" >/dev/null
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

# The theme menu: "深色模式" turns the grid dark.
xdotool mousemove --sync 115 22
toolbar_colour=$(window_pixel 60 104)
click 115 22
wait_pixel_not 60 104 "$toolbar_colour" "the theme menu did not open"
click 60 104
wait_pixel 1100 700 "45,45,48" "grid colour of the dark theme"
wait_for 30 "set.ini does not hold the theme" grep -q $'^themeIndex=1\r$' "$base/set.ini"

quit_launcher
echo PASS
