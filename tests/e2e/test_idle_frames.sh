#!/usr/bin/env bash
# An open launcher that nobody touches draws nothing; a focused search box
# blinks its caret twice a second and no faster; a click on a game shows its
# selection at once, and afterwards the launcher is quiet again. A playing GIF
# draws one frame per GIF frame, its picture advancing and the rest of the
# window intact around it.
# Frames are counted from outside through X DAMAGE (tests/tools/frame_counter.cpp):
# the product needs no counter of its own.
source "$(dirname "$0")/lib.sh"

counter=${LUDEXA_FRAME_COUNTER:-$(dirname "$LUDEXA_BIN")/tools/frame_counter}
[ -x "$counter" ] || fail "no frame counter at $counter (build the frame_counter target)"

dir=$(make_portable)
sql "$dir/data.db" "$GAMES_SCHEMA INSERT INTO games (name, exe_path) VALUES ('乙游戏', '/bin/true'), ('甲游戏', '/bin/true');"

frames() {  # seconds
  "$counter" "$LUDEXA_WINDOW" "$1"
}
quiet_second() { [ "$(frames 1)" -eq 0 ]; }

start_launcher "$dir"  # returns once the first frame is on screen
# Settled: a whole second without a frame (start-up loads and draws first).
wait_for 40 "the launcher never stopped drawing while idle" quiet_second

# Idle on purpose for three seconds: a loop drawing at the cap draws 90 here.
idle=$(frames 3)
[ "$idle" -eq 0 ] || fail "$idle frames in 3 idle seconds"

# A focused search box: its caret toggles every 500 ms, about 6 frames in 3 s.
click 1060 21
blink=$(frames 3)
[ "$blink" -ge 4 ] && [ "$blink" -le 10 ] || fail "$blink frames in 3 s with a blinking caret (expected about 6)"

# Grid cells at 1200 x 800: 9 columns of 72-pixel squares, the first at
# x 372.8, y 63, the next 90.8 pixels to the right. The default order puts the
# newest game (甲游戏) first, selected; its square is filled (40, 60, 90).
# Clicking the second cell also takes the focus from the search box.
second_x=470
square_y=70
assert_eq "50,50,50" "$(window_pixel "$second_x" "$square_y")" "the second cell before the click"
click "$second_x" 90
# Nothing but the click can draw this: the idle launcher draws no frames.
wait_pixel "$second_x" "$square_y" "40,60,90" "the click on the second game did not show its selection" 5

# Quiet again once the click is drawn (the caret no longer blinks).
wait_for 40 "the launcher kept drawing after the click" quiet_second
after=$(frames 3)
[ "$after" -eq 0 ] || fail "$after frames in 3 idle seconds after the click"

send_key Escape
assert_eq 0 "$(wait_exit)" "exit code"

# --- A playing GIF ------------------------------------------------------------
# Red and blue frames of 300 ms: the picture area (350 pixels wide from
# x 0, y 48) changes colour about three times a second, and nothing else does.
dir=$(make_portable "动画")
sql "$dir/data.db" "$GAMES_SCHEMA INSERT INTO games (name, exe_path) VALUES ('动画', '/bin/true');"
mkdir -p "$dir/media/动画"
convert -size 300x200 xc:red xc:blue -set delay 30 -loop 0 "$dir/media/动画/play.gif"
start_launcher "$dir"
wait_pixel 175 120 "255,0,0" "the GIF's red frame never showed"
wait_pixel 175 120 "0,0,255" "the GIF did not advance to its blue frame"
wait_pixel 175 120 "255,0,0" "the GIF did not come back to its red frame"
gif=$(frames 3)
[ "$gif" -ge 6 ] && [ "$gif" -le 14 ] || fail "$gif frames in 3 s of a GIF stepping every 300 ms (expected about 10)"
# The rest of the window stays as it was drawn: the help button at the top,
# the selected game's square in the grid.
_pixel_is 14 12 "245,85,85" "255,148,148" || fail "the toolbar was lost while the GIF played: [$_last_pixel]"
wait_pixel 400 70 "40,60,90" "the grid was lost while the GIF played" 2
send_key Escape
assert_eq 0 "$(wait_exit)" "exit code with a GIF playing"
