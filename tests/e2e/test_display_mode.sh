#!/usr/bin/env bash
# The display-mode button: the window becomes the size of the monitor (the
# work area is the monitor without a window manager), stays so in full-screen
# mode, and the third click brings back exactly 1200 x 800 where it was. A
# mode saved on closing is entered again at the next start.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/dialogs_lib.sh"

dir=$(make_portable)
start_launcher "$dir"
w=$LUDEXA_WINDOW
xdotool windowmove --sync "$w" 30 40
wait_geometry "$w" "30 40 1200 800" "start"
read -r mw mh < <(xdpyinfo 2>/dev/null | awk '/dimensions:/{split($2, d, "x"); print d[1], d[2]}' || echo "1280 800")

click_in "$w" 1121 21   # the mode button, at windowWidth - 113 + 34 / 2
wait_geometry "$w" "0 0 $mw $mh" "borderless"
click_in "$w" $((mw - 96)) 21
wait_geometry "$w" "0 0 $mw $mh" "full screen"
click_in "$w" $((mw - 96)) 21
wait_geometry "$w" "30 40 1200 800" "windowed again"

# Closed in borderless mode: set.ini keeps the mode and the full-area size.
click_in "$w" 1121 21
wait_geometry "$w" "0 0 $mw $mh" "borderless before closing"
send_key Escape
assert_eq 0 "$(wait_exit)" "exit code"
got=$(tr -d '\r' <"$dir/set.ini")
grep -qx "fullscreen=1" <<<"$got" || fail "mode not saved: $got"
grep -qx "windowWidth=$mw" <<<"$got" || fail "full-area width not saved: $got"

start_launcher "$dir"
wait_geometry "$LUDEXA_WINDOW" "0 0 $mw $mh" "borderless at the next start"
xdotool mousemove 300 300
wait_pixel $((mw - 108)) 12 "160,130,0" "the mode button shows borderless mode"
send_key Escape
assert_eq 0 "$(wait_exit)" "exit code"
echo PASS
