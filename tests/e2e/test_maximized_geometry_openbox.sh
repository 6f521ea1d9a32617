#!/usr/bin/env bash
# A maximised window's saved position under a real window manager (openbox):
# start maximised, un-maximise, move, maximise, quit, restart, ten times. Each
# start restores the window where it was last put, and set.ini keeps exactly
# that place; nothing creeps by the width of the frame.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/dialogs_lib.sh"

command -v openbox >/dev/null || fail "openbox is not installed"
unset DISPLAY
ensure_display  # a display of our own: the window manager must not disturb other tests
openbox >/dev/null 2>&1 &
openbox_pid=$!
trap 'kill $openbox_pid 2>/dev/null || true; _cleanup' EXIT
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
wait_for 30 "openbox did not start" wm_running

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

dir=$(make_portable)
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
