#!/usr/bin/env bash
# Searching: typing on the grid focuses the search box and filters; the
# pinyin initials of a Chinese name find it, and Enter starts that game.
source "$(dirname "$0")/lib.sh"

base=$(make_portable "search")
"$E2E_DIR/../../scripts/demo" "$base" "$LUDEXA_BIN" >/dev/null
target_id=$(sql "$base/data.db" "SELECT id FROM games WHERE name='中国人'")
start_launcher "$base"

type_text "zgr"
# One match: the first cell is filled, the second is empty grid.
wait_pixel 499 99 "235,235,240" "second cell after searching zgr"
wait_pixel_not 409 99 "235,235,240" "no game shown for zgr"

send_key Return
wait_for 30 "Enter did not start the game" test -s "$base/launch.log"
assert_eq "game=$target_id" "$(cut -f1 "$base/launch.log")" "the game Enter started"
send_key Escape
assert_eq 0 "$(wait_exit)" "exit code"
echo PASS
