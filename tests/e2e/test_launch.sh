#!/usr/bin/env bash
# A double-click starts the game's program (a folder with a space and Chinese,
# arguments with spaces) and counts the play. With sleep enabled, a game whose
# program was deleted shows "启动失败", counts nothing and does not put the
# launcher to sleep; the sleep screen follows a launch that starts.
source "$(dirname "$0")/lib.sh"

base=$(make_portable "启动 测试")
"$E2E_DIR/../../scripts/demo" "$base" "$LUDEXA_BIN" >/dev/null
db="$base/data.db"
log="$base/launch.log"
# The newest game (highest id) comes first in the default order: the deleted
# one, then the demo's newest.
first_id=$(sql "$db" "SELECT max(id) FROM games")
first_dir=$(sql "$db" "SELECT folder_path FROM games WHERE id=$first_id")
sql "$db" "INSERT INTO games(name, exe_path, folder_path) VALUES ('已删除的游戏', '$base/gone/run.sh', '$base/gone')"
gone_id=$(sql "$db" "SELECT max(id) FROM games")

start_launcher "$base"
double_click 499 99
wait_for 30 "the game's program did not start" test -s "$log"
assert_eq "$(printf 'game=%s\tpwd=%s\targ=--level\targ=第 %s 关\targ=--fast' "$first_id" "$first_dir" "$first_id")" "$(head -1 "$log")" "launch line"
played() { [ "$(sql "$db" "SELECT play_count FROM games WHERE id=$first_id")" == 1 ]; }
wait_for 30 "the play was not counted" played
[[ "$(sql "$db" "SELECT last_played FROM games WHERE id=$first_id")" =~ ^[0-9]{4}-[0-9]{2}-[0-9]{2}\ [0-9]{2}:[0-9]{2}:[0-9]{2}$ ]] \
  || fail "last_played is not in the 19-character form"

# The sleep switch of the toolbar.
click 158 22
wait_for 30 "sleep was not enabled" grep -q $'^sleepEnabled=1\r$' "$base/set.ini"
sleep 2.1  # on purpose: the two seconds of the debounce pass
click 409 99
send_key Return
answer_window "^启动失败\$"
assert_eq "0|1" "$(sql "$db" "SELECT play_count, last_played IS NULL FROM games WHERE id=$gone_id")" "the failed launch was counted"
wait_first_frame
[ "$(window_pixel 600 100)" != "20,20,30" ] || fail "the launcher fell asleep after a failed launch"
sleep 2.1  # on purpose: the two seconds of the debounce pass
send_key Right Return
wait_pixel 600 100 "20,20,30" "sleep screen background"
click 600 400
wait_pixel_not 600 100 "20,20,30" "a click did not wake the launcher"
quit_launcher "exit code after sleeping"
echo PASS
