#!/usr/bin/env bash
# data.db held by another program's write transaction (a sqlite3 shell in
# BEGIN IMMEDIATE): marking a favourite waits out the busy timeout, says in
# one message box that data.db is in use, and does not show the change as
# done: once the lock is gone, the same menu entry marks the game. The same
# for a data.db that has become read-only: one message, the mark put back.
source "$(dirname "$0")/lib.sh"
source "$E2E_DIR/dialogs_lib.sh"

dir=$(make_portable "locked")
seed_library "$dir"
db="$dir/data.db"
id=$(sql "$db" "SELECT max(id) FROM games")
start_launcher "$dir"

mkfifo "$dir/.holder"
sqlite3 "$db" <"$dir/.holder" >/dev/null 2>&1 &
holder=$!
exec 3>"$dir/.holder"
# Waits for the launcher if it happens to be writing at that moment.
echo ".timeout 10000" >&3
echo "BEGIN IMMEDIATE;" >&3
# Held once a writer that does not wait is refused.
held() { ! sqlite3 -cmd ".timeout 0" "$db" "BEGIN IMMEDIATE; ROLLBACK;" >/dev/null 2>&1; }
wait_for 10 "the sqlite3 shell does not hold data.db" held

# The first cell's icon menu, third entry "收藏游戏（未收藏）".
open_menu 409 99 450 189
click 450 189
box=$(wait_window '^错误$' 20)
key_to "$box" Return
wait_window_gone '^错误$'

echo "ROLLBACK;" >&3
exec 3>&-
wait "$holder" || true
assert_eq 0 "$(sql "$db" "SELECT is_favorite FROM games WHERE id=$id")" "favourite while data.db was held"

# Not shown as a favourite: the entry still offers to mark it, and does.
open_menu 409 99 450 189
click 450 189
favourite() { [ "$(sql "$db" "SELECT is_favorite FROM games WHERE id=$id")" == 1 ]; }
wait_for 10 "not marked a favourite once data.db is free" favourite

# Read-only for every user, root included: a file format write version above
# 2 makes SQLite refuse writes. The unmarking is refused with one message.
set_write_version() { printf "\\x$1" | dd of="$db" bs=1 seek=18 conv=notrunc status=none; }
set_write_version 03
open_menu 409 99 450 189
click 450 189
box=$(wait_window '^错误$' 20)
key_to "$box" Return
wait_window_gone '^错误$'
assert_eq 1 "$(sql "$db" "SELECT is_favorite FROM games WHERE id=$id")" "favourite in a read-only data.db"

# Still shown as a favourite: writable again, the same entry unmarks it.
set_write_version 01
open_menu 409 99 450 189
click 450 189
unmarked() { [ "$(sql "$db" "SELECT is_favorite FROM games WHERE id=$id")" == 0 ]; }
wait_for 10 "not unmarked once data.db is writable" unmarked

send_key Escape
assert_eq 0 "$(wait_exit)" "exit code"
echo PASS
