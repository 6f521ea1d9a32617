#!/usr/bin/env bash
# The drawn menus and the tag bar: the game icon menu marks a favourite in
# data.db, the blank-area menu changes the sort mode in set.ini, a category
# tag shows only its games, and the theme menu recolours the grid.
source "$(dirname "$0")/lib.sh"

base=$(make_portable "menus")
"$E2E_DIR/../../scripts/demo" "$base" "$LUDEXA_BIN" >/dev/null
db="$base/data.db"
first_id=$(sql "$db" "SELECT max(id) FROM games")
start_launcher "$base"

# Right click on the first game, then its third entry "收藏游戏（未收藏）".
assert_eq 0 "$(sql "$db" "SELECT is_favorite FROM games WHERE id=$first_id")" "favourite before"
click 409 99 3
sleep 0.3
click 450 189
sleep 0.5
assert_eq 1 "$(sql "$db" "SELECT is_favorite FROM games WHERE id=$first_id")" "favourite after the menu"

# Right click on empty grid space, hover "排序方式  >", choose "按名称排序".
click 1000 680 3
xdotool mousemove --sync 780 730
sleep 0.3
xdotool mousemove --sync 900 730
xdotool mousemove --sync 900 770
click 900 770
sleep 0.5
grep -q $'^sortMode=1\r$' "$base/set.ini" || fail "set.ini does not hold the name sort: $(cat "$base/set.ini")"
grep -q $'^sortAscending=1\r$' "$base/set.ini" || fail "the name sort does not start ascending"

# The tag bar: the category tag is the last dark tag of the first row.
screenshot "$base/tags.png"
tag_x=$(convert "$base/tags.png" -crop 600x1+590+9 txt:- |
  awk -F'[ ,:]+' '/srgb\(50,55,70\)/ { x = $1 + 590; if (x != last + 1) start = x; last = x } END { print start + 5 }')
[ -n "$tag_x" ] || fail "no category tag found"
click "$tag_x" 20
sleep 0.5
screenshot "$base/category.png"
# The demo has eight games tagged 动作: cells 0 to 7 of the first row are filled, cell 8 is empty.
assert_eq "235,235,240" "$(pixel "$base/category.png" 1135 99)" "cell 8 after choosing 动作"
[ "$(pixel "$base/category.png" 1044 99)" != "235,235,240" ] || fail "cell 7 is empty after choosing 动作"

# The theme menu: "深色模式" turns the grid dark.
click 115 22
sleep 0.3
click 60 104
sleep 0.5
screenshot "$base/dark.png"
assert_eq "45,45,48" "$(pixel "$base/dark.png" 1100 700)" "grid colour of the dark theme"
grep -q $'^themeIndex=1\r$' "$base/set.ini" || fail "set.ini does not hold the theme"

send_key Escape
assert_eq 0 "$(wait_exit)" "exit code"
echo PASS
