#!/usr/bin/env bash
# A game whose program was deleted shows "启动失败", counts nothing and does
# not put the launcher to sleep; a .desktop launcher in the 桌面 view starts.
source "$(dirname "$0")/lib.sh"
source "$E2E_DIR/dialogs_lib.sh"

base=$(make_portable "启动 失败")
db="$base/data.db"
seed_library "$base"
sql "$db" "DELETE FROM games;
  INSERT INTO games(id, name, exe_path, folder_path) VALUES (2, '已删除的游戏', '$base/gone/run.sh', '$base/gone');"
printf '[Sort]\r\nsleepEnabled=1\r\nsleepOnLaunch=1\r\n' >"$base/set.ini"

export HOME="$base/home"
mkdir -p "$HOME/Desktop"
cat >"$HOME/Desktop/Marker Game.desktop" <<ENTRY
[Desktop Entry]
Type=Application
Name=Marker Game
Path=$base
Exec=sh -c "echo started > marker"
ENTRY
start_launcher "$base"

# The newest game comes first and is selected: its program is gone.
send_key Return
box=$(wait_window '^启动失败$')
wait_drawn "$box"
key_to "$box" Return
wait_window_gone '^启动失败$'
assert_eq "0|1" "$(sql "$db" "SELECT play_count, last_played IS NULL FROM games WHERE id=2")" "the failed launch was counted"
wait_first_frame
[ "$(window_pixel 600 100)" != "20,20,30" ] || fail "the launcher fell asleep after a failed launch"

# The second dark tag of the bar is "桌面"; its only entry is focused first.
screenshot "$base/tags.png"
desktop_x=$(convert "$base/tags.png" -crop 600x1+590+9 txt:- |
  awk -F'[ ,:]+' '/srgb\(50,55,70\)/ { x = $1 + 590; if (x != last + 1) { runs++; if (runs == 2) start = x } last = x } END { print start + 5 }')
click "$desktop_x" 20
# A corner of the focused cell that its two-line label leaves free.
wait_pixel 445 170 "80,140,220" "the desktop view's first entry is focused"
double_click 409 99
wait_for 30 "the desktop launcher's program did not start" test -s "$base/marker"
assert_eq "started" "$(cat "$base/marker" 2>/dev/null)" "the desktop launcher's program"
xdotool search --onlyvisible --name '^启动失败$' >/dev/null 2>&1 && fail "the desktop launcher reported a failure"

send_key Escape
assert_eq 0 "$(wait_exit)" "exit code"
echo PASS
