#!/usr/bin/env bash
# The display modes under a real window manager (openbox, with a 40-pixel
# strip kept free at the bottom so the work area is smaller than the monitor):
# borderless fills the work area without a frame, full screen covers the
# monitor, and the third click restores position, size and frame exactly. A
# maximised window goes through the cycle and comes back maximised, and its
# restored geometry is what set.ini keeps.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/dialogs_lib.sh"

command -v openbox >/dev/null || fail "openbox is not installed"
unset DISPLAY
ensure_display  # a display of our own: the window manager must not disturb other tests
config=$E2E_TMP/openbox-rc.xml
sed 's#<bottom>0</bottom>#<bottom>40</bottom>#' /etc/xdg/openbox/rc.xml >"$config"
openbox --config-file "$config" >/dev/null 2>&1 &
openbox_pid=$!
trap 'kill $openbox_pid 2>/dev/null || true; _cleanup' EXIT
workarea_published() { xprop -root _NET_WORKAREA 2>/dev/null | grep -q '= 0, 0, 1280, 760'; }
wait_for 30 "openbox did not publish its work area" workarea_published

extents() { xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed 's/.*= //'; }
framed() { local e; e=$(extents "$1"); [[ "$e" =~ ^[0-9]+,\ [0-9]+,\ [0-9]+,\ [0-9]+$ ]] && [ "$e" != "0, 0, 0, 0" ]; }
mode_click() { click_in "$1" $(($(client_geometry "$1" | cut -d' ' -f3) - 96)) 21; }

dir=$(make_portable)
start_launcher "$dir"
w=$LUDEXA_WINDOW
wait_for 30 "the window starts without a frame" framed "$w"
start=$(client_geometry "$w")
framed=$(extents "$w")

mode_click "$w"
wait_geometry "$w" "0 0 1280 760" "borderless fills the work area"
assert_eq "0, 0, 0, 0" "$(extents "$w")" "no frame when borderless"
mode_click "$w"
wait_geometry "$w" "0 0 1280 800" "full screen covers the monitor"
mode_click "$w"
wait_geometry "$w" "$start" "the third click restores the window"
frame_back() { [ "$(extents "$w")" == "$framed" ]; }
wait_for 30 "the frame did not come back ($(extents "$w"))" frame_back
send_key Escape
assert_eq 0 "$(wait_exit)" "exit code"

# Maximised: the cycle ends maximised, and set.ini keeps the restored geometry.
printf '[Layout]\r\nwindowWidth=1000\r\nwindowHeight=600\r\nwindowX=100\r\nwindowY=50\r\nwindowMaximized=1\r\n' \
  >"$dir/set.ini"
start_launcher "$dir"
w=$LUDEXA_WINDOW
maximised() { xprop -id "$w" _NET_WM_STATE | grep -q MAXIMIZED_HORZ; }
wait_for 30 "the window did not start maximised" maximised
maximized=$(client_geometry "$w")
# Each step is given to the window manager to finish (frame and place
# settled) before the next click, as a user's clicks would be.
wait_for 30 "the window manager did not settle the maximised window" settled "$w"
mode_click "$w"
wait_geometry "$w" "0 0 1280 760" "borderless from maximised"
wait_for 30 "the window manager did not settle the borderless window" settled "$w"
mode_click "$w"
wait_geometry "$w" "0 0 1280 800" "full screen from maximised"
wait_for 30 "the window manager did not settle the full-screen window" settled "$w"
mode_click "$w"
wait_geometry "$w" "$maximized" "maximised again after the cycle"
wait_for 30 "the window manager did not settle the window maximised again" settled "$w"
xprop -id "$w" _NET_WM_STATE | grep -q MAXIMIZED_HORZ || fail "not maximised after the cycle"
send_key Escape
assert_eq 0 "$(wait_exit)" "exit code"
got=$(tr -d '\r' <"$dir/set.ini")
for line in windowWidth=1000 windowHeight=600 windowX=100 windowY=50 windowMaximized=1 fullscreen=0; do
  grep -qx "$line" <<<"$got" || fail "set.ini lacks $line: $got"
done
echo PASS
