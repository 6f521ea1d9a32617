#!/usr/bin/env bash
# Importing installed games from the stores through the blank-area menu's
# "导入游戏平台..." with a fake home: the dialog lists Steam, Lutris and
# Heroic with their new games, Enter imports them behind the waiting pop-up,
# the rows land in data.db, Escape cancels. (What a second import finds and
# each store's rows are the unit tests' matter.)
source "$(dirname "$0")/lib.sh"

base=$(make_portable "stores")
db="$base/data.db"
export HOME="$base/home"
# The menu's games come from this machine's application folders too: a data
# folder of its own, with what the toolkit needs from /usr/share but no
# applications, keeps them to the fake home's.
xdg="$base/xdg"
mkdir -p "$xdg"
for part in glib-2.0 icons themes mime; do ln -s "/usr/share/$part" "$xdg/$part"; done
export XDG_DATA_DIRS="$xdg"
steam="$HOME/.local/share/Steam"
mkdir -p "$steam/steamapps" "$steam/appcache/librarycache" "$HOME/.local/share/lutris" "$HOME/.config/heroic/sideload_apps"

manifest() {  # appid name flags
  printf '"AppState"\n{\n\t"appid"\t\t"%s"\n\t"name"\t\t"%s"\n\t"StateFlags"\t\t"%s"\n\t"installdir"\t\t"%s"\n}\n' \
    "$1" "$2" "$3" "$2" >"$steam/steamapps/appmanifest_$1.acf"
}
manifest 620 "Portal 2" 4
manifest 1493710 "Proton Experimental" 4
manifest 1145360 "Hades" 1026
convert -size 64x64 gradient:green-yellow "$steam/appcache/librarycache/620_icon.jpg"

sql "$HOME/.local/share/lutris/pga.db" "CREATE TABLE games (id INTEGER PRIMARY KEY, name TEXT, slug TEXT,
  directory TEXT, installed INTEGER, installed_at INTEGER);
  INSERT INTO games VALUES (3, '蔚蓝', 'celeste', '/games/celeste', 1, 1600000000);
  INSERT INTO games VALUES (4, 'Removed', 'removed', '', 0, NULL);"
cat >"$HOME/.config/heroic/sideload_apps/library.json" <<'JSON'
{"games": [{"runner": "sideload", "app_name": "own1", "title": "Own Game", "is_installed": true,
  "folder_name": "/games/own", "install": {"executable": "/games/own/run.sh"}}]}
JSON

start_launcher "$base"

open_import() {  # opens the dialog from the blank-area menu; prints its window id
  xdotool mousemove --sync 1000 680
  local grid_colour
  grid_colour=$(window_pixel 785 770)
  click 1000 680 3
  wait_pixel_not 785 770 "$grid_colour" "the blank-area menu did not open"
  click 785 770
  local dialog
  dialog=$(wait_window "^导入游戏平台$" 30)
  wait_drawn "$dialog"
  xdotool windowfocus --sync "$dialog" || true
  echo "$dialog"
}

dialog=$(open_import)
xdotool key --clearmodifiers Return
# The dialog closes, the count message follows and is closed.
end=$((SECONDS + 30))
while xdotool search --onlyvisible --name "^导入游戏平台$" 2>/dev/null | grep -qx "$dialog"; do
  [ "$SECONDS" -lt "$end" ] || fail "the dialog did not close"
  sleep 0.1
done
box=$(wait_window "^导入游戏平台$" 60)
wait_drawn "$box"
xdotool windowfocus --sync "$box" || true
xdotool key --clearmodifiers Return
wait_window_gone "^导入游戏平台$"

rows() {
  sql "$db" "SELECT name || '|' || exe_path || '|' || folder_path || '|' || launch_args || '|' || (icon IS NOT NULL)
             FROM games ORDER BY exe_path"
}
expected="Own Game|heroic://launch/sideload/own1|/games/own||0
蔚蓝|lutris:rungameid/3|/games/celeste||0
Portal 2|steam://rungameid/620|$steam/steamapps/common/Portal 2||1"
assert_eq "$expected" "$(rows)" "rows after the import"
assert_eq "$(date -d @1600000000 '+%Y-%m-%d %H:%M:%S')" "$(sql "$db" "SELECT created_at FROM games WHERE name = '蔚蓝'")" \
  "date added of the Lutris game"

# Escape cancels: the dialog closes and no message follows.
open_import >/dev/null
xdotool key --clearmodifiers Escape
wait_window_gone "^导入游戏平台$"
# A message would come at once; a second of quiet means there is none.
sleep 1  # on purpose: the check is that nothing happens
if xdotool search --onlyvisible --name "^导入游戏平台$" >/dev/null 2>&1; then fail "a window is left after Escape"; fi

send_key Escape
assert_eq 0 "$(wait_exit)" "exit code"
echo PASS
