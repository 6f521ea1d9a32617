#!/usr/bin/env bash
# The text area follows the toolbar: after ▼ the tag rows push the picture
# area down and the text box with it (the splitter under the picture stays
# visible); after ▲ no dark band is left between the picture and the text.
# The text area's 复制 menu puts the selection on the clipboard.
source "$(dirname "$0")/lib.sh"
source "$E2E_DIR/ui_lib.sh"

base=$(make_portable "toolbar text")
seed_library "$base"
# Twelve categories of four characters: on a 1200-wide window three fit in a
# row, so they take four rows.
printf '[Categories]\r\ncategories=%s\r\n' \
  '角色扮演|即时战略|动作冒险|休闲益智|独立游戏|模拟经营|体育竞技|射击游戏|格斗对战|解谜探索|音乐节奏|恐怖生存' >"$base/set.ini"
start_launcher "$base"

wait_pixel 8 425 "200,200,210" "the first frame: splitter under the picture"
screenshot "$base/collapsed.png"
expand_x=$(find_colour_x "$base/collapsed.png" 12 590 370 "55,60,75")
[ -n "$expand_x" ] || fail "no expand button"
# Column x = 8 of the left panel: picture area 48 to 424, splitter, text box.

click $((expand_x + 10)) 20
# Four rows shown: the toolbar is 3 x 34 + 44 = 146 high, the picture area
# keeps its 376 pixels and its splitter moves to 526.
wait_pixel 8 147 "200,200,210" "the toolbar splitter after ▼"
wait_pixel 8 527 "200,200,210" "the splitter under the picture after ▼"
screenshot "$base/expanded.png"
assert_eq "235,235,240" "$(pixel "$base/expanded.png" 8 540)" "text box under the moved splitter"

click $((expand_x + 10)) 20
wait_pixel 8 45 "200,200,210" "the toolbar splitter after ▲"
wait_pixel 8 425 "200,200,210" "the splitter under the picture after ▲"
screenshot "$base/collapsed_again.png"
for y in 440 480 520 560; do
  assert_eq "235,235,240" "$(pixel "$base/collapsed_again.png" 8 $y)" "text box at y $y after ▲"
done

# A dragged selection, then 复制 from the right click's menu.
xdotool mousemove --sync 4 436 mousedown 1 mousemove --sync 340 600 mouseup 1
click 100 450 3
wait_pixel_not 120 460 "235,235,240" "the 复制 menu did not open"
click 120 460
# The text area starts with the selected game's facts.
copied() { [[ "$(xclip -o -selection clipboard 2>/dev/null)" == "名称：星露谷物语  收藏："* ]]; }
wait_for 30 "复制 did not reach the clipboard ($(xclip -o -selection clipboard 2>/dev/null))" copied

quit_launcher
echo PASS
