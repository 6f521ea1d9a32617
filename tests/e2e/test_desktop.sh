#!/usr/bin/env bash
# The "桌面" tag lists the user's desktop folder (hidden files left out), a
# launcher under its own Chinese name and icon; a launcher there starts its
# program; "全部" leaves it.
source "$(dirname "$0")/lib.sh"

base=$(make_portable "desktop")
"$E2E_DIR/../../scripts/demo" "$base" "$LUDEXA_BIN" >/dev/null
export HOME="$base/home"
mkdir -p "$HOME/Desktop/文件夹"
printf 'notes' >"$HOME/Desktop/Notes.txt"
printf 'hidden' >"$HOME/Desktop/.hidden"
# gnome-mines' launcher; a folder named "扫雷" sorts after it and shows what
# its label must look like.
cp /usr/share/applications/org.gnome.Mines.desktop "$HOME/Desktop/"
mkdir "$HOME/Desktop/扫雷" "$HOME/Desktop/阿"
cat >"$HOME/Desktop/Marker Game.desktop" <<ENTRY
[Desktop Entry]
Type=Application
Name=Marker Game
Path=$base
Exec=sh -c "echo started > marker"
ENTRY
start_launcher "$base"

screenshot "$base/tags.png"
# The second dark tag of the bar is "桌面" ("全部" is lit, "收藏" comes first).
read -r favourites_x desktop_x < <(convert "$base/tags.png" -crop 600x1+395+9 txt:- |
  awk -F'[ ,:]+' '/srgb\(50,55,70\)/ { x = $1 + 395; if (x != last + 1) { runs++; start[runs] = x } last = x }
    END { print start[1], start[2] + 5 }')
click "$desktop_x" 20
# The focused first entry is backed by the focus colour; the seventh cell is empty.
wait_pixel 370 150 "80,140,220" "focused desktop entry"
wait_pixel 950 100 "235,235,240" "seventh cell (only six visible entries)"
# Cells 90 px apart: "阿", the launcher, the folder "扫雷", "文件夹", "Marker Game", "Notes.txt".
mines_icon_drawn() {
  screenshot "$base/desktop.png"
  [ "$(convert "$base/desktop.png" -crop 80x80+460+60 txt:- | grep -c 'srgb(237,51,59)' || true)" -gt 20 ]
}
wait_for 30 "the launcher is not drawn with the game's icon (its red mine)" mines_icon_drawn
convert "$base/desktop.png" -crop 90x20+455+138 +repage "$base/launcher-label.png"
convert "$base/desktop.png" -crop 90x20+545+138 +repage "$base/folder-label.png"
assert_eq 0 "$(compare -metric AE "$base/launcher-label.png" "$base/folder-label.png" null: 2>&1 || true)" \
  "pixels where the launcher's label differs from the folder's \"扫雷\""
double_click 769 99
wait_for 30 "the desktop launcher's program did not start" test -s "$base/marker"
assert_eq "started" "$(cat "$base/marker" 2>/dev/null)" "the desktop launcher's program"
xdotool search --onlyvisible --name '^启动失败$' >/dev/null 2>&1 && fail "the desktop launcher reported a failure"

# "全部" (the first tag, just left of "收藏") returns to the library.
click $((favourites_x - 10)) 20
wait_pixel_not 560 99 "235,235,240" "the library did not come back"
quit_launcher
echo PASS
