#!/usr/bin/env bash
# SIGTERM (a logout) closes the launcher at once as its close button does,
# also while a message box is up: the icon size kept for the close is saved,
# the running game's session is written open. A set.ini too large to read
# whole is left exactly as it was.
source "$(dirname "$0")/lib.sh"

base=$(make_portable "注销 logout")
db="$base/data.db"
sql "$db" "$GAMES_SCHEMA"
for name in "Sleeper" "第二 个"; do
  mkdir -p "$base/games/$name"
  printf '#!/bin/sh\necho started >> "%s/started"\nexec sleep 120\n' "$base" >"$base/games/$name/run.sh"
  chmod +x "$base/games/$name/run.sh"
  sql "$db" "INSERT INTO games (name, exe_path, folder_path) VALUES ('$name', '$base/games/$name/run.sh', '$base/games/$name')"
done

start_launcher "$base"
send_key Return
wait_for 10 "the game did not start" test -f "$base/started"

# 最大图标 from the blank-area menu: written only by the next save.
open_menu 700 300 760 318
xdotool mousemove --sync 760 318 mousemove --sync 900 318
wait_pixel 904 494 "50,50,55" "the icon size submenu"
xdotool mousemove --sync 900 498
click 900 498
wait_pixel_not 904 494 "50,50,55" "the submenu after choosing 最大图标"

[ ! -e "$base/media" ] || fail "media/ exists before 生成资源"
click 286 22
box=$(wait_window '^生成资源目录完成$')
[ -d "$base/media/Sleeper" ] && [ -d "$base/media/第二 个" ] || fail "生成资源 did not make the folders: $(ls -R "$base/media" 2>&1)"

pid=$(pgrep -P "$LUDEXA_PID" -x ludexa)
kill -TERM "$pid"
start=$(now_ms)
wait_for 10 "the launcher did not exit after SIGTERM" test -f "$base/.exit"
elapsed=$(($(now_ms) - start))
assert_eq 0 "$(wait_exit)" "exit code after SIGTERM"
[ "$elapsed" -lt 5000 ] || fail "SIGTERM took $elapsed ms to end the launcher"
xdotool search --onlyvisible --name '^生成资源目录完成$' >/dev/null 2>&1 && fail "the message box outlived the launcher"
grep -q $'^iconSize=5\r$' "$base/set.ini" || fail "set.ini lacks the icon size: $(grep iconSize "$base/set.ini")"
assert_eq 1 "$(sql "$db" "SELECT count(*) FROM play_sessions WHERE open = 1 AND pid > 0")" \
  "the running game's session: $(sql "$db" "SELECT * FROM play_sessions" 2>&1)"
for game in $(sql "$db" "SELECT pid FROM play_sessions WHERE pid > 0"); do kill "$game" 2>/dev/null || true; done

# 2. A set.ini of more than 1 MB: what fits is read (theme 4's toolbar), a
# warning says why nothing is saved.
{
  printf '\xEF\xBB\xBFthemeIndex=4\r\n'
  head -c 1200000 /dev/zero | tr '\0' '#' | fold -w 100 | sed 's/$/\r/'
  printf 'iconSize=3\r\n'
} >"$base/set.ini"
cp "$base/set.ini" "$base/set.ini.before"
# The warning comes before the first frame: start_launcher cannot wait for it.
launch_in_background "$base"
answer_window "^提示\$" Return 60
take_launcher_window
assert_eq "30,30,30" "$(window_pixel 470 40)" "toolbar colour of theme 4, read after a byte-order mark"
quit_launcher
cmp -s "$base/set.ini" "$base/set.ini.before" || fail "a set.ini read only in part was rewritten"
echo PASS
