#!/usr/bin/env bash
# data.db held by a sqlite3 shell's write transaction: marking a favourite
# says so in one message box and is not shown as done; once the lock is gone
# the same entry marks the game. Its id, 2^32 + 1, would read as 1 in an int.
source "$(dirname "$0")/lib.sh"

dir=$(make_portable "locked")
db="$dir/data.db"
sql "$db" "$GAMES_SCHEMA INSERT INTO games(id, name, exe_path) VALUES
  (1, 'Victim', '/usr/bin/true'), (4294967297, 'Attacker', '/usr/bin/true');"
id=4294967297  # newest first: the first cell
start_launcher "$dir"

mkfifo "$dir/.holder"
sqlite3 "$db" <"$dir/.holder" >/dev/null 2>&1 &
holder=$!
exec 3>"$dir/.holder"
echo ".timeout 10000" >&3
echo "BEGIN IMMEDIATE;" >&3
held() { ! sqlite3 -cmd ".timeout 0" "$db" "BEGIN IMMEDIATE; ROLLBACK;" >/dev/null 2>&1; }
wait_for 10 "the sqlite3 shell does not hold data.db" held

# The first cell's icon menu, third entry "收藏游戏（未收藏）".
open_menu 409 99 450 189
click 450 189
answer_window "^错误\$" Return 20

echo "ROLLBACK;" >&3
exec 3>&-
wait "$holder" || true
assert_eq 0 "$(sql "$db" "SELECT is_favorite FROM games WHERE id=$id")" "favourite while data.db was held"

open_menu 409 99 450 189
click 450 189
favourite() { [ "$(sql "$db" "SELECT is_favorite FROM games WHERE id=$id")" == 1 ]; }
wait_for 10 "not marked a favourite once data.db is free" favourite
assert_eq "0|Victim" "$(sql "$db" "SELECT is_favorite, name FROM games WHERE id=1")" "the other game's row"

quit_launcher
echo PASS
