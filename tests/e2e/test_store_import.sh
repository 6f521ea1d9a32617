#!/usr/bin/env bash
# "导入游戏平台..." in the blank-area menu with a fake home: Enter imports
# the games of Steam and Lutris behind the waiting pop-up and their rows
# land in data.db; Escape cancels. (Which games each store gives, and
# their fields, are the unit tests' matter.)
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
mkdir -p "$steam/steamapps" "$steam/appcache/librarycache" "$HOME/.local/share/lutris"

printf '"AppState"\n{\n\t"appid"\t\t"620"\n\t"name"\t\t"Portal 2"\n\t"StateFlags"\t\t"4"\n\t"installdir"\t\t"Portal 2"\n}\n' \
  >"$steam/steamapps/appmanifest_620.acf"
convert -size 64x64 gradient:green-yellow "$steam/appcache/librarycache/620_icon.jpg"

sql "$HOME/.local/share/lutris/pga.db" "CREATE TABLE games (id INTEGER PRIMARY KEY, name TEXT, slug TEXT,
  directory TEXT, installed INTEGER, installed_at INTEGER);
  INSERT INTO games VALUES (3, '蔚蓝', 'celeste', '/games/celeste', 1, 1600000000);"

start_launcher "$base"

open_import() {  # opens the dialog from the blank-area menu; prints its window id
  open_menu 1000 680 785 770
  click 785 770
  local dialog
  dialog=$(wait_dialog "^导入游戏平台$")
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
answer_window "^导入游戏平台\$" Return 60

expected="蔚蓝|lutris:rungameid/3|/games/celeste||0
Portal 2|steam://rungameid/620|$steam/steamapps/common/Portal 2||1"
assert_eq "$expected" "$(sql "$db" "SELECT name || '|' || exe_path || '|' || folder_path || '|' || launch_args || '|' ||
  (icon IS NOT NULL) FROM games ORDER BY exe_path")" "rows after the import"

# Escape cancels: the dialog closes and no message follows.
open_import >/dev/null
xdotool key --clearmodifiers Escape
wait_window_gone "^导入游戏平台$"
sleep 1  # on purpose: a message would come at once, the check is that none does
if xdotool search --onlyvisible --name "^导入游戏平台$" >/dev/null 2>&1; then fail "a window is left after Escape"; fi

quit_launcher
echo PASS
