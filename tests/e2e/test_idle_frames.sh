#!/usr/bin/env bash
# An open launcher that nobody touches draws (almost) nothing; a focused search
# box blinks its caret twice a second and no faster; a click on a game shows
# its selection at once, and afterwards the launcher is quiet again.
# Frames are counted from outside the program: the frame counter watches the
# window through the X server's DAMAGE extension (tests/tools/frame_counter.cpp),
# so the product needs no counter, log or switch of its own.
source "$(dirname "$0")/lib.sh"

counter=${LUDEXA_FRAME_COUNTER:-$(dirname "$LUDEXA_BIN")/tools/frame_counter}
[ -x "$counter" ] || fail "no frame counter at $counter (build the frame_counter target)"

schema="CREATE TABLE IF NOT EXISTS games (id INTEGER PRIMARY KEY AUTOINCREMENT,name TEXT NOT NULL,exe_path TEXT,folder_path TEXT,category TEXT,icon BLOB,created_at TEXT DEFAULT CURRENT_TIMESTAMP,last_played TEXT,play_count INTEGER DEFAULT 0,launch_args TEXT DEFAULT '',save_dir TEXT DEFAULT '',game_size INTEGER DEFAULT 0,is_favorite INTEGER DEFAULT 0);"
dir=$(make_portable)
sql "$dir/data.db" "$schema INSERT INTO games (name, exe_path) VALUES ('乙游戏', '/bin/true'), ('甲游戏', '/bin/true');"

frames() {  # seconds
  "$counter" "$LUDEXA_WINDOW" "$1"
}

start_launcher "$dir"  # returns once the first frame is on screen
# Settled: a whole second without a frame (start-up loads and draws first).
settled=""
for _ in $(seq 20); do
  [ "$(frames 1)" -eq 0 ] && { settled=1; break; }
done
[ -n "$settled" ] || fail "the launcher never stopped drawing while idle"

# Idle on purpose for three seconds: today's loop drew 90 frames here.
idle=$(frames 3)
[ "$idle" -le 2 ] || fail "$idle frames in 3 idle seconds"

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
for _ in $(seq 20); do [ "$(frames 1)" -eq 0 ] && break; done
after=$(frames 3)
[ "$after" -le 2 ] || fail "$after frames in 3 idle seconds after the click"

send_key Escape
assert_eq 0 "$(wait_exit)" "exit code"
