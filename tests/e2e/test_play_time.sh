#!/usr/bin/env bash
# Play time of a real process: one closed session of about three seconds in
# data.db, shown in the header; the sort by time played follows the stored
# sessions (seen through what Enter launches).
source "$(dirname "$0")/lib.sh"

base=$(make_portable "游玩 时长")
db="$base/data.db"
log="$base/launch.log"
sql "$db" "$GAMES_SCHEMA"
add_game() {  # name seconds-it-runs
  local dir="$base/games/$1"
  mkdir -p "$dir"
  printf '#!/bin/sh\necho "%s" >> "%s"\nexec sleep %s\n' "$1" "$log" "$2" >"$dir/run.sh"
  chmod +x "$dir/run.sh"
  sql "$db" "INSERT INTO games (name, exe_path, folder_path) VALUES ('$1', '$dir/run.sh', '$dir')"
}
closed_sessions() { [ "$(sql "$db" "SELECT count(*) FROM play_sessions WHERE open = 0" 2>/dev/null || echo 0)" -ge "$1" ]; }
log_lines() { [ -f "$log" ] && [ "$(wc -l <"$log")" -ge "$1" ]; }

# 1. One game that runs three seconds.
add_game Three 3
start_launcher "$base"
send_key Return
wait_for 10 "the game did not start" log_lines 1
# Drawn by now (the launch came from a frame's input); the game runs on.
screenshot "$base/before.png"
wait_for 20 "no closed session within 20 s" closed_sessions 1
seconds=$(sql "$db" "SELECT seconds FROM play_sessions")
[ "$seconds" -ge 2 ] && [ "$seconds" -le 5 ] || fail "a three-second game was counted as $seconds s"
# The header changes from "时长：未游玩" to the seconds once the session is written.
header_changed() {
  screenshot "$base/after.png"
  [ "$(compare -metric AE -crop 340x60+5+440 "$base/before.png" "$base/after.png" null: 2>&1 || true)" != "0" ]
}
wait_for 10 "the header did not change" header_changed
quit_launcher

# 2. Three games with sessions stored directly; the blank-area menu sorts them.
add_game Few 20
add_game Most 20
sql "$db" "INSERT INTO play_sessions (game_id, started_at, seconds, open) VALUES
  (2, 1700000000, 100, 0), (3, 1700000000, 4000, 0), (3, 1700100000, 1000, 0)"
# The session of game 1 (a few seconds) makes it the least played.
: >"$log"
start_launcher "$base"
open_menu 700 300 760 354
xdotool mousemove --sync 760 354
xdotool mousemove --sync 900 354
xdotool mousemove --sync 900 462 click 1
grep_sort() { grep -q $'^sortMode=3\r$' "$base/set.ini"; }
wait_for 5 "set.ini does not hold the sort by time played" grep_sort
# The first cell, then the next: each Enter starts the game shown there, so
# the two most played show Three is last.
click 409 99
send_key Return
wait_for 10 "the first game did not start" log_lines 1
sleep 2.1  # launches within two seconds of another are ignored on purpose
send_key Right Return
wait_for 10 "the second game did not start" log_lines 2
assert_eq "Most Few" "$(tr '\n' ' ' <"$log" | sed 's/ $//')" "the order by time played"
quit_launcher
# The two long games still ran when the launcher quit: their sessions stay
# open, with the started process recorded, for the next start to resume or close.
assert_eq 2 "$(sql "$db" "SELECT count(*) FROM play_sessions WHERE open = 1 AND game_id IN (2, 3) AND pid > 0")" \
  "sessions left open at quit"
for pid in $(sql "$db" "SELECT pid FROM play_sessions WHERE open = 1 AND pid > 0"); do kill "$pid" 2>/dev/null || true; done
echo PASS
