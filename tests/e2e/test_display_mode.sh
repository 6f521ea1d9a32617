#!/usr/bin/env bash
# The display-mode button, first without a window manager (the work area is
# the monitor): the window becomes the size of the monitor, stays so in
# full-screen mode, and the third click brings back exactly 1200 x 800 where it
# was; a mode saved on closing is entered again at the next start.
# Then under a real window manager (openbox, with a 40-pixel strip kept free
# at the bottom so the work area is smaller than the monitor): borderless
# fills the work area without a frame, full screen covers the monitor, and the
# third click restores position, size and frame exactly. A maximised window
# goes through the cycle and comes back maximised, and its restored geometry
# is what set.ini keeps. Last, ten rounds of start maximised, un-maximise,
# move, maximise, quit: each start restores the window where it was last put,
# and nothing creeps by the width of the frame.
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

# ---- Under openbox
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

# ---- A maximised window's saved position, ten rounds
# "left top" of the frame's outer corner: the client's corner less the frame.
frame_corner() {  # window
  local geometry extents
  geometry=$(client_geometry "$1")
  extents=$(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
  set -- $geometry $extents
  echo "$(($1 - $5)) $(($2 - $7))"
}
maximized() { xprop -id "$1" _NET_WM_STATE | grep -q MAXIMIZED_HORZ; }
is_maximized() {  # window yes|no
  if maximized "$1"; then [ "$2" == yes ]; else [ "$2" == no ]; fi
}
wait_maximized() {  # window yes|no message
  wait_for 30 "$3" is_maximized "$1" "$2"
}
corner_is() { [ "$(frame_corner "$1")" == "$2" ]; }
wait_corner() {  # window "x y" message
  wait_for 30 "$3: expected [$2], got [$(frame_corner "$1")]" corner_is "$1" "$2"
}

# Openbox toggles maximising on a double click on the title bar.
toggle_maximized() {  # window
  local x y w h top
  read -r x y w h <<<"$(client_geometry "$1")"
  top=$(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g' | cut -d' ' -f3)
  xdotool mousemove --sync $((x + w / 2)) $((y - top / 2)) click --repeat 2 --delay 80 1
}

dir=$(make_portable "maximised rounds")
printf '[Layout]\r\nwindowWidth=1000\r\nwindowHeight=600\r\nwindowX=100\r\nwindowY=50\r\nwindowMaximized=1\r\n' \
  >"$dir/set.ini"
expected="100 50"
for round in $(seq 10); do
  ensure_display
  (cd "$dir" && LD_PRELOAD="${LUDEXA_PRELOAD:-}" ./ludexa >"$dir/.stdout" 2>"$dir/.stderr"; echo $? >"$dir/.exit") &
  LUDEXA_PID=$!
  LUDEXA_DIR=$dir
  shown() { xdotool search --onlyvisible --name '^Ludexa ' >/dev/null 2>&1; }
  wait_for 60 "round $round: no window" shown
  w=$(xdotool search --onlyvisible --name '^Ludexa ' | head -1)
  LUDEXA_WINDOW=$w
  wait_maximized "$w" yes "round $round: the window does not start maximised"
  wait_first_frame
  wait_for 30 "round $round: the window manager did not settle the window" settled "$w"
  toggle_maximized "$w"
  wait_maximized "$w" no "round $round: the title-bar double click did not restore the window"
  wait_corner "$w" "$expected" "round $round: restored where it was last put"
  # Put it somewhere new; openbox places the frame's corner where asked.
  target="$((120 + round * 7)) $((60 + round * 5))"
  xdotool windowmove --sync "$w" ${target% *} ${target#* } || true
  wait_corner "$w" "$target" "round $round: moved"
  toggle_maximized "$w"
  wait_maximized "$w" yes "round $round: maximised again"
  key_to "$w" Escape
  assert_eq 0 "$(wait_exit)" "round $round: exit code"
  rm -f "$dir/.exit"
  got=$(tr -d '\r' <"$dir/set.ini")
  for line in "windowX=${target% *}" "windowY=${target#* }" windowWidth=1000 windowHeight=600 windowMaximized=1; do
    grep -qx "$line" <<<"$got" || fail "round $round: set.ini lacks $line: $(grep window <<<"$got" | tr '\n' ' ')"
  done
  expected=$target
done
echo PASS
