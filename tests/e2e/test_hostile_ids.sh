#!/usr/bin/env bash
# A game id beyond 32 bits: 4294967297 is 2^32 + 1, which an int would read
# as 1. Marking "Attacker" a favourite through the icon menu marks Attacker,
# and "Victim" (id 1) stays as it was.
source "$(dirname "$0")/lib.sh"
source "$E2E_DIR/dialogs_lib.sh"

dir=$(make_portable "ids")
seed_library "$dir"
sql "$dir/data.db" "DELETE FROM games; INSERT INTO games(id, name, exe_path) VALUES
  (1, 'Victim', '/usr/bin/true'), (4294967297, 'Attacker', '/usr/bin/true');"
start_launcher "$dir"

# Sorted by id, newest first: Attacker is the first cell. Right click on it,
# then the third entry "收藏游戏（未收藏）".
open_menu 409 99 450 189
click 450 189
favourite_is() {  # id flag
  [ "$(sql "$dir/data.db" "SELECT is_favorite FROM games WHERE id=$1")" == "$2" ]
}
wait_for 10 "Attacker is not marked a favourite" favourite_is 4294967297 1
assert_eq "0|Victim" "$(sql "$dir/data.db" "SELECT is_favorite, name FROM games WHERE id=1")" "Victim's row"

send_key Escape
assert_eq 0 "$(wait_exit)" "exit code"
echo PASS
