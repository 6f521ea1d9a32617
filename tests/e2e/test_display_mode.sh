#!/usr/bin/env bash
# The display-mode button, first without a window manager (the work area is
# the monitor): borderless, the window becomes the size of the monitor, and
# the mode saved on closing is entered again at the next start.
# Then under openbox, with a 40-pixel strip kept free at the bottom so the
# work area is smaller than the monitor, ten rounds of start maximised,
# un-maximise, move, maximise, quit: each start restores the window where it
# was last put, and nothing creeps by the width of the frame. The first round
# also goes through the cycle, maximised (it ends maximised) and framed
# (borderless fills the work area without a frame, full screen covers the
# monitor, and the third click restores position, size and frame exactly).
source "$(dirname "$0")/lib.sh"

dir=$(make_portable)
start_launcher "$dir"
w=$LUDEXA_WINDOW
read -r mw mh < <(xdpyinfo 2>/dev/null | awk '/dimensions:/{split($2, d, "x"); print d[1], d[2]}' || echo "1280 800")

# Closed in borderless mode: set.ini keeps the mode and the full-area size.
click_in "$w" 1121 21   # the mode button, at windowWidth - 113 + 34 / 2
wait_geometry "$w" "0 0 $mw $mh" "borderless"
quit_launcher
got=$(tr -d '\r' <"$dir/set.ini")
grep -qx "fullscreen=1" <<<"$got" || fail "mode not saved: $got"
grep -qx "windowWidth=$mw" <<<"$got" || fail "full-area width not saved: $got"

start_launcher "$dir"
wait_geometry "$LUDEXA_WINDOW" "0 0 $mw $mh" "borderless at the next start"
xdotool mousemove 300 300
wait_pixel $((mw - 108)) 12 "160,130,0" "the mode button shows borderless mode"
quit_launcher

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
maximized() { xprop -id "$1" _NET_WM_STATE | grep -q MAXIMIZED_HORZ; }
restored() { ! maximized "$1"; }
framed() { local e; e=$(extents "$1"); [[ "$e" =~ ^[0-9]+,\ [0-9]+,\ [0-9]+,\ [0-9]+$ ]] && [ "$e" != "0, 0, 0, 0" ]; }
mode_click() { click_in "$1" $(($(client_geometry "$1" | cut -d' ' -f3) - 96)) 21; }

# ---- A maximised window, ten rounds: its display-mode cycle, and its saved position
# "left top" of the frame's outer corner: the client's corner less the frame.
frame_corner() {  # window
  set -- $(client_geometry "$1") $(extents "$1" | tr -d ,)
  echo "$(($1 - $5)) $(($2 - $7))"
}
corner_is() { [ "$(frame_corner "$1")" == "$2" ]; }
wait_corner() {  # window "x y" message
  wait_for 30 "$3: expected [$2], got [$(frame_corner "$1")]" corner_is "$1" "$2"
}

# Openbox toggles maximising on a double click on the title bar.
toggle_maximized() {  # window
  local x y w h top
  read -r x y w h <<<"$(client_geometry "$1")"
  top=$(extents "$1" | tr -d , | cut -d' ' -f3)
  xdotool mousemove --sync $((x + w / 2)) $((y - top / 2)) click --repeat 2 --delay 80 1
}

dir=$(make_portable "maximised rounds")
printf '[Layout]\r\nwindowWidth=1000\r\nwindowHeight=600\r\nwindowX=100\r\nwindowY=50\r\nwindowMaximized=1\r\n' \
  >"$dir/set.ini"
expected="100 50"
for round in $(seq 10); do
  launch_in_background "$dir"
  w=$(wait_window '^Ludexa ' 60)
  LUDEXA_WINDOW=$w
  wait_for 30 "round $round: the window does not start maximised" maximized "$w"
  wait_first_frame
  wait_for 30 "round $round: the window manager did not settle the window" settled "$w"
  if [ "$round" == 1 ]; then
    # The display-mode cycle of a maximised window ends maximised, and then
    # restores where it was. Each step is settled before the next click.
    maximized_geometry=$(client_geometry "$w")
    for geometry in "0 0 1280 760" "0 0 1280 800" "$maximized_geometry"; do
      mode_click "$w"
      wait_geometry "$w" "$geometry" "a display-mode step from maximised"
      wait_for 30 "the window manager did not settle the window at $geometry" settled "$w"
    done
    maximized "$w" || fail "not maximised after the cycle"
  fi
  toggle_maximized "$w"
  wait_for 30 "round $round: the title-bar double click did not restore the window" restored "$w"
  wait_corner "$w" "$expected" "round $round: restored where it was last put"
  if [ "$round" == 1 ]; then
    # A framed window's cycle: the third click restores place, size and frame.
    wait_for 30 "the restored window has no frame" framed "$w"
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
  fi
  # Put it somewhere new; openbox places the frame's corner where asked.
  target="$((120 + round * 7)) $((60 + round * 5))"
  xdotool windowmove --sync "$w" ${target% *} ${target#* } || true
  wait_corner "$w" "$target" "round $round: moved"
  toggle_maximized "$w"
  wait_for 30 "round $round: maximised again" maximized "$w"
  key_to "$w" Escape
  assert_eq 0 "$(wait_exit)" "round $round: exit code"
  got=$(tr -d '\r' <"$dir/set.ini")
  for line in "windowX=${target% *}" "windowY=${target#* }" windowWidth=1000 windowHeight=600 windowMaximized=1 fullscreen=0; do
    grep -qx "$line" <<<"$got" || fail "round $round: set.ini lacks $line: $(grep window <<<"$got" | tr '\n' ' ')"
  done
  expected=$target
done
echo PASS
