#!/usr/bin/env bash
# Importing a folder of shortcuts through the "添加游戏" button: the folder
# chooser, the waiting pop-up centred on the main window, the count message,
# the first game selected, and PNG icons from the real icon loader. (Which
# entries are games and their fields are the unit tests' matter.)
source "$(dirname "$0")/lib.sh"

base=$(make_portable "导入 测试")
db="$base/data.db"
src="$base/快捷 方式"
# Two sub-folders that share no first letter: the chooser's location entry
# then has no single completion to insert inline after the typed path.
mkdir -p "$src/sub" "$src/other"

convert -size 256x256 gradient:red-blue "$base/foo.png"
cat >"$src/Foo Game.desktop" <<EOF
[Desktop Entry]
Type=Application
Name=Foo Game
Exec="/opt/Foo Game/foo" --windowed %U
Icon=$base/foo.png
EOF
# Enough further entries that the scan lasts long enough to see the pop-up.
fillers=3000
for i in $(seq "$fillers"); do
  printf '[Desktop Entry]\nType=Application\nName=Filler %s\nExec=/bin/true --filler %s\n' "$i" "$i" >"$src/zz filler $i.desktop"
done
expected=$((fillers + 1))

start_launcher "$base"

# Finds a shown top-level window of the pop-up's size; prints "id x y".
find_popup() {
  xwininfo -root -children 2>/dev/null | awk 'match($0, / 360x80\+-?[0-9]+\+-?[0-9]+/) {
    split(substr($0, RSTART + 8, RLENGTH - 8), pos, "+"); print $1, pos[1], pos[2]; exit }'
}

click 215 22
choose_path "$(wait_window "^选择包含游戏快捷方式的文件夹$")" "$src/"

popup=""
popup_end=$((SECONDS + 60))
polls=0
while [ "$SECONDS" -lt "$popup_end" ]; do
  popup=$(find_popup || true)
  # GTK creates the window at (0, 0) and moves it as it maps it: wait for the move.
  [ -n "$popup" ] && [ "${popup#* }" != "0 0" ] && break
  # The count message ends the import; looked for only now and then, so that
  # each poll is one X query and a short pop-up is not missed.
  polls=$((polls + 1))
  [ $((polls % 10)) -eq 0 ] && xdotool search --onlyvisible --name "^添加游戏$" >/dev/null 2>&1 && break
  sleep 0.02  # a short poll: the pop-up may be up for only a moment
done
[ -n "$popup" ] || fail "no waiting pop-up was seen"
read -r _ popup_x popup_y <<<"$popup"
# Centred on the 1200 x 800 window at (0, 0).
assert_eq "420 360" "$popup_x $popup_y" "pop-up position"
screenshot "$base/popup.png"
if [ -n "$(find_popup || true)" ]; then
  assert_eq "40,40,45" "$(pixel "$base/popup.png" 425 365)" "pop-up background"
fi

# The count message ends the import.
answer_window "^添加游戏\$" Return 240
assert_eq "$expected" "$(sql "$db" 'SELECT count(*) FROM games')" "games after the import"
# Nothing was selected in the empty library: the first game of the sorted grid is now.
first_selected() {
  local r g b
  IFS=, read -r r g b <<<"$(window_pixel 368 130)"
  [ "$b" -gt "$r" ]
}
wait_for 30 "the first game is not selected after the import ($(window_pixel 368 130))" first_selected

assert_eq 0 "$(sql "$db" "SELECT count(*) FROM games WHERE icon IS NULL OR hex(substr(icon, 1, 8)) != '89504E470D0A1A0A'")" "every game has a PNG icon"

quit_launcher
echo PASS
