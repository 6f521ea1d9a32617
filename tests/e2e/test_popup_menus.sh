#!/usr/bin/env bash
# The drawn menus behave as pop-up menus: Escape closes the open menu and the
# program keeps running; a left click outside only closes the menu, a right
# click outside opens the menu of where it landed. (A submenu that opens
# upwards near the bottom edge: test_menus.sh.) Searching on a narrow window:
# typing on the grid focuses the search box, a click on the box reaches it,
# not a category tag under it, the search filters by the pinyin initials of a
# Chinese name, and Enter starts the one game found.
source "$(dirname "$0")/lib.sh"
source "$E2E_DIR/ui_lib.sh"

base=$(make_portable "popup menus")
"$E2E_DIR/../../scripts/demo" "$base" "$LUDEXA_BIN" >/dev/null
target_id=$(sql "$base/data.db" "SELECT id FROM games WHERE name='中国人'")
start_launcher "$base"

# The theme menu of "换肤"; its second entry is at y 86 to 122.
click 115 22
wait_pixel 24 90 "50,50,55" "the theme menu opened"
send_key Escape
wait_pixel_not 24 90 "50,50,55" "the theme menu after Escape"
# Checking that the program does NOT exit: a fixed wait on purpose.
sleep 1  # on purpose: the check is that nothing happens
[ ! -f "$base/.exit" ] || fail "Escape with a menu open ended the program"
xdotool search --onlyvisible --name '^Ludexa ' >/dev/null || fail "the window is gone"

# A click on "帮助" while the menu is open closes the menu and nothing else.
click 115 22
wait_pixel 24 90 "50,50,55" "the theme menu opened again"
click 29 22
wait_pixel_not 24 90 "50,50,55" "the theme menu after a click outside"
# Checking that the help dialog does NOT open: a fixed wait on purpose.
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
send_key Return
wait_for 30 "Enter did not start the game" test -s "$base/launch.log"
assert_eq "game=$target_id" "$(cut -f1 "$base/launch.log")" "the game Enter started"
quit_launcher
echo PASS
