#!/usr/bin/env bash
# A window restored to 1000 x 700 is drawn at that size from the first frame
# on; expanded there, sixteen categories take at most 40 % of the height and
# the rest scroll inside the bar under the mouse wheel.
source "$(dirname "$0")/lib.sh"
source "$E2E_DIR/ui_lib.sh"

base=$(make_portable "restored size")
printf '[Layout]\r\nwindowWidth=1000\r\nwindowHeight=700\r\nwindowX=0\r\nwindowY=0\r\n[Categories]\r\ncategories=%s\r\n' \
  '动作|角色扮演|策略|休闲|独立游戏|射击|竞速|模拟|冒险|体育|格斗游戏|解谜|音乐|恐怖|沙盒建造|卡牌' >"$base/set.ini"
start_launcher "$base"

screenshot "$base/first.png"
for x in 2 250 500 750 997; do
  assert_eq "200,200,210" "$(pixel "$base/first.png" $x 698)" "bottom row at x $x of the first frame"
done

expand_x=$(find_colour_x "$base/first.png" 12 400 350 "55,60,75")
[ -n "$expand_x" ] || fail "no expand button"
click $((expand_x + 10)) 20
# 40 % of 700 is 280: seven rows, a toolbar of 6 x 34 + 44 = 248.
wait_pixel 8 249 "200,200,210" "the toolbar splitter of the bounded bar"
screenshot "$base/expanded.png"
assert_eq "235,235,240" "$(pixel "$base/expanded.png" 8 600)" "the text box below the bar"

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

quit_launcher
echo PASS
