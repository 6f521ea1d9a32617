#!/usr/bin/env bash
# Launching from the grid: a double-click starts the game's program (in a
# folder whose path has a space and Chinese characters, with arguments that
# hold spaces), the play is stored, a second launch within two seconds does
# nothing, Enter launches the selected game, and with sleep on launch enabled
# the sleep screen follows.
source "$(dirname "$0")/lib.sh"

base=$(make_portable "启动 测试")
"$E2E_DIR/../../scripts/demo" "$base" "$LUDEXA_BIN" >/dev/null
db="$base/data.db"
log="$base/launch.log"
# The newest game (highest id) comes first in the default order.
first_id=$(sql "$db" "SELECT max(id) FROM games")
first_dir=$(sql "$db" "SELECT folder_path FROM games WHERE id=$first_id")

start_launcher "$base"
assert_eq "245,85,85" "$(window_pixel 14 12)" "the help button's colour"
# The first cell is selected at start: its highlight lies under the icon square.
IFS=, read -r r g b <<<"$(window_pixel 368 130)"
[ "$b" -gt "$r" ] || fail "no selection highlight under the first icon ($r,$g,$b)"

double_click 409 99
wait_for 30 "the game's program did not start" test -s "$log"
launched_at=$(now_ms)
assert_eq "$(printf 'game=%s\tpwd=%s\targ=--level\targ=第 %s 关\targ=--fast' "$first_id" "$first_dir" "$first_id")" "$(head -1 "$log")" "launch line"
played() { [ "$(sql "$db" "SELECT play_count FROM games WHERE id=$first_id")" == 1 ]; }
wait_for 30 "the play was not counted" played
[[ "$(sql "$db" "SELECT last_played FROM games WHERE id=$first_id")" =~ ^[0-9]{4}-[0-9]{2}-[0-9]{2}\ [0-9]{2}:[0-9]{2}:[0-9]{2}$ ]] \
  || fail "last_played is not in the 19-character form"

# Within two seconds of a launch nothing starts. On a machine so loaded that
# the key could arrive after the two seconds, the check would prove nothing:
# it is made only when the key goes out well inside them.
if [ $(($(now_ms) - launched_at)) -lt 1000 ]; then
  send_key Return
  sleep 0.5  # on purpose: nothing may start
  assert_eq 1 "$(wc -l <"$log")" "launches after a debounced Enter"
  assert_eq 1 "$(sql "$db" "SELECT play_count FROM games WHERE id=$first_id")" "play count after a debounced Enter"
fi

# Later, Enter launches the selected game.
sleep 2.1  # on purpose: the two seconds of the debounce pass
send_key Right
send_key Return
launches() { [ "$(wc -l <"$log")" -ge "$1" ]; }
wait_for 30 "Enter did not launch a second game" launches 2
second_id=$(sql "$db" "SELECT id FROM games ORDER BY id DESC LIMIT 1 OFFSET 1")
assert_eq "game=$second_id" "$(tail -1 "$log" | cut -f1)" "the game Enter launched"
send_key Escape
assert_eq 0 "$(wait_exit)" "exit code"

# With sleep enabled, the sleep screen follows a launch.
sed -i 's/^categories=/sleepEnabled=1\r\ncategories=/' "$base/set.ini"
grep -q "sleepEnabled=1" "$base/set.ini" || fail "could not enable sleep"
start_launcher "$base"
send_key Return
wait_pixel 600 100 "20,20,30" "sleep screen background"
click 600 400
wait_pixel_not 600 100 "20,20,30" "a click did not wake the launcher"
send_key Escape
assert_eq 0 "$(wait_exit)" "exit code after sleeping"
echo PASS
