#!/usr/bin/env bash
# The toolbar's dialogs. Escape closes each, nothing it did is kept, and the
# main window takes clicks again at once. Enter in the settings dialog means
# 确定 even with the focus on a switch, which carries a visible mark. The
# category manager's backup writes media/bak.db by game name; a restore
# writes data.db and reaches the records in memory, so editing a game
# afterwards keeps the restored value.
source "$(dirname "$0")/lib.sh"

dir=$(make_portable '游戏 库')
seed_library "$dir"
printf '[Categories]\r\ncategories=RPG|动作\r\n' >"$dir/set.ini"
start_launcher "$dir"
setting() { tr -d '\r' <"$dir/set.ini" | sed -n "s/^$1=//p"; }

# The "120" preset (positions inside the dialog as GTK lays it out), then Enter.
click 72 22
w=$(wait_dialog '^设置$')
# Transient for the launcher, not above every program.
xprop -id "$w" WM_TRANSIENT_FOR | grep -qi "$(printf '0x%x' "$LUDEXA_WINDOW")" || fail "not transient for the launcher"
xprop -id "$w" _NET_WM_STATE | grep -q ABOVE && fail "the settings dialog stays above every program"
click_in "$w" 197 499
read -r wx wy _ _ < <(client_geometry "$w")
# The focus mark: a blue ring where an unfocused switch has a green border.
focus_ring() { screenshot "$dir/focus.png"; [ "$(pixel "$dir/focus.png" $((wx + 173)) $((wy + 499)))" == "28,113,216" ]; }
wait_for 30 "the focused switch is not marked" focus_ring
key_to "$w" Return
wait_window_gone '^设置$'
rate_is() { [ "$(setting framerate_fps)" == "$1" ]; }
wait_for 30 "Enter did not apply the dialog (framerate_fps=$(setting framerate_fps))" rate_is 120

expected_sleep=0
for button in "24 22 帮助" "72 22 设置" "357 22 管理分类"; do
  read -r x y title <<<"$button"
  click "$x" "$y"
  w=$(wait_dialog "^$title\$")
  # The "60" preset, discarded by Escape.
  [ "$title" != 设置 ] || click_in "$w" 145 499
  key_to "$w" Escape
  wait_window_gone "^$title\$"
  # The sleep switch saves set.ini at once: the click reached the main window.
  click 158 22
  expected_sleep=$((1 - expected_sleep))
  sleep_is() { [ "$(setting sleepEnabled)" == "$expected_sleep" ]; }
  wait_for 30 "the main window takes no clicks after $title (sleepEnabled [$(setting sleepEnabled)])" sleep_is
done
assert_eq "RPG|动作" "$(setting categories)" "categories after Escape in the category manager"
assert_eq 120 "$(setting framerate_fps)" "frame rate after Escape in the settings"

# Button positions inside the manager as GTK lays it out.
transfer() {  # x y
  click_in "$manager" "$1" "$2"
  answer_window '^完成$'
}

click 357 22
manager=$(wait_dialog '^管理分类$')
transfer 406 161   # 备份分类
[ -f "$dir/media/bak.db" ] || fail "no media/bak.db"
assert_eq "空洞骑士|RPG|动作" "$(sql "$dir/media/bak.db" 'SELECT name, category FROM games')" \
  "categories backed up, empty ones skipped"

# A backup made elsewhere holds another category for the game.
sql "$dir/media/bak.db" "UPDATE games SET category='冒险|解谜' WHERE name='空洞骑士'"
transfer 406 203   # 还原分类
assert_eq "冒险|解谜" "$(sql "$dir/data.db" "SELECT category FROM games WHERE name='空洞骑士'")" "category restored"
key_to "$manager" Escape
wait_window_gone '^管理分类$'

# Game settings of 空洞骑士 (second icon), OK without changes: the restored
# category must not be overwritten by the value the list held before.
open_menu 500 90 540 143
click 540 143
settings=$(wait_dialog '^游戏设置$')
read -r _ _ dw dh < <(client_geometry "$settings")
click_in "$settings" $((dw - 134)) $((dh - 19))   # OK, at the bottom right
wait_window_gone '^游戏设置$'
assert_eq "冒险|解谜" "$(sql "$dir/data.db" "SELECT category FROM games WHERE name='空洞骑士'")" \
  "restored category kept after editing the game"

quit_launcher
echo PASS
