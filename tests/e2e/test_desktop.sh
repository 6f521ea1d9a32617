#!/usr/bin/env bash
# The desktop view: the "桌面" tag lists the entries of the user's desktop
# folder (hidden files left out) with the first one focused, and "全部" leaves it.
source "$(dirname "$0")/lib.sh"

base=$(make_portable "desktop")
"$E2E_DIR/../../scripts/demo" "$base" "$LUDEXA_BIN" >/dev/null
export HOME="$base/home"
mkdir -p "$HOME/Desktop/文件夹"
printf 'notes' >"$HOME/Desktop/Notes.txt"
printf 'hidden' >"$HOME/Desktop/.hidden"
start_launcher "$base"

screenshot "$base/tags.png"
# The second dark tag of the bar is "桌面" ("全部" is lit, "收藏" comes first;
# where the categories fill the first line the bar starts left of 590).
read -r favourites_x desktop_x < <(convert "$base/tags.png" -crop 600x1+395+9 txt:- |
  awk -F'[ ,:]+' '/srgb\(50,55,70\)/ { x = $1 + 395; if (x != last + 1) { runs++; start[runs] = x } last = x }
    END { print start[1], start[2] + 5 }')
click "$desktop_x" 20
# The focused first entry is backed by the focus colour; the third cell is empty.
wait_pixel 370 150 "80,140,220" "focused desktop entry"
wait_pixel 560 150 "235,235,240" "third cell (only two visible entries)"
screenshot "$base/desktop.png"

# "全部" (the first tag, just left of "收藏") returns to the library.
click $((favourites_x - 10)) 20
wait_pixel_not 560 99 "235,235,240" "the library did not come back"
send_key Escape
assert_eq 0 "$(wait_exit)" "exit code"
echo PASS
