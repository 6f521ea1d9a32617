#!/usr/bin/env bash
# A window restored to 1000 x 700 is drawn at that size from the first frame
# on. The text area follows the toolbar: expanded, sixteen categories take at
# most 40 % of the height, the rest scroll inside the bar under the mouse
# wheel, and the picture area and the text box move down with it; after ▲ no
# dark band is left between the picture and the text. The text area's 复制
# menu puts the selection on the clipboard.
source "$(dirname "$0")/lib.sh"
source "$E2E_DIR/ui_lib.sh"

base=$(make_portable "toolbar text")
seed_library "$base"
printf '[Layout]\r\nwindowWidth=1000\r\nwindowHeight=700\r\nwindowX=0\r\nwindowY=0\r\n[Categories]\r\ncategories=%s\r\n' \
  '动作|角色扮演|策略|休闲|独立游戏|射击|竞速|模拟|冒险|体育|格斗游戏|解谜|音乐|恐怖|沙盒建造|卡牌' >"$base/set.ini"
start_launcher "$base"

screenshot "$base/first.png"
for x in 2 250 500 750 997; do
  assert_eq "200,200,210" "$(pixel "$base/first.png" $x 698)" "bottom row at x $x of the first frame"
done
# Column x = 8 of the left panel: toolbar splitter at 44, picture area 48 to
# 373, its splitter, the text box.
assert_eq "200,200,210" "$(pixel "$base/first.png" 8 375)" "the splitter under the picture"
expand_x=$(find_colour_x "$base/first.png" 12 400 350 "55,60,75")
[ -n "$expand_x" ] || fail "no expand button"
click $((expand_x + 10)) 20
# 40 % of 700 is 280: seven rows, a toolbar of 6 x 34 + 44 = 248; the
# picture area keeps its height below it.
wait_pixel 8 249 "200,200,210" "the toolbar splitter of the bounded bar"
wait_pixel 8 579 "200,200,210" "the splitter under the picture after ▼"
screenshot "$base/expanded.png"
assert_eq "235,235,240" "$(pixel "$base/expanded.png" 8 600)" "the text box under the moved splitter"

# The first line stays.
before=$(window_hash "$LUDEXA_WINDOW")
xdotool mousemove --sync 600 150 click 5
wait_window_changed "$LUDEXA_WINDOW" "$before"
screenshot "$base/scrolled.png"
assert_eq "$(convert "$base/expanded.png" -crop 400x40+0+0 rgb:- | md5sum)" \
  "$(convert "$base/scrolled.png" -crop 400x40+0+0 rgb:- | md5sum)" "the toolbar buttons after scrolling"
[ "$(convert "$base/expanded.png" -crop 600x200+400+45 rgb:- | md5sum)" != \
  "$(convert "$base/scrolled.png" -crop 600x200+400+45 rgb:- | md5sum)" ] || fail "the rows did not scroll"
wait_pixel 8 249 "200,200,210" "the toolbar keeps its height while scrolled"

click $((expand_x + 10)) 20
wait_pixel 8 45 "200,200,210" "the toolbar splitter after ▲"
wait_pixel 8 375 "200,200,210" "the splitter under the picture after ▲"
screenshot "$base/collapsed_again.png"
for y in 390 480 570 660; do
  assert_eq "235,235,240" "$(pixel "$base/collapsed_again.png" 8 $y)" "text box at y $y after ▲"
done

# A dragged selection, then 复制 from the right click's menu.
xdotool mousemove --sync 4 386 mousedown 1 mousemove --sync 340 600 mouseup 1
click 100 450 3
wait_pixel_not 120 460 "235,235,240" "the 复制 menu did not open"
click 120 460
# The text area starts with the selected game's facts.
copied() { [[ "$(xclip -o -selection clipboard 2>/dev/null)" == "名称：星露谷物语  收藏："* ]]; }
wait_for 30 "复制 did not reach the clipboard ($(xclip -o -selection clipboard 2>/dev/null))" copied

quit_launcher
echo PASS
