#!/usr/bin/env bash
# The custom background survives a restart: "选择图片..." keeps a JPEG copy as
# ui.jpg beside the executable, so the picture shows at the next start even
# after the chosen file is gone.
source "$(dirname "$0")/lib.sh"
source "$E2E_DIR/ui_lib.sh"

base=$(make_portable "背景 图片")
picture="$(dirname "$base")/我的 背景.png"
convert -size 640x400 xc:'rgb(200,30,160)' "$picture"
# A library unloaded before the exit keeps two small blocks here (56 bytes
# each, also seen in the unit tests' process); unloaded, it cannot be named
# in a suppression, so this test does not look for leaks.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
# A display of its own: the file chooser then starts from a server no other
# test has typed into.
unset DISPLAY
ensure_display
start_launcher "$base"
wait_pixel 470 40 "235,235,240" "the first frame"

# "换肤", then "自定图片  >" (y 275 to 311), then "选择图片..." (y 311 to 347).
click 115 22
wait_pixel 24 90 "50,50,55" "the theme menu"
click 60 293
wait_pixel 154 315 "50,50,55" "the picture submenu"
click 200 329
chooser=$(wait_window "^选择图片$")
choose_path "$chooser" "$picture"
wait_for 60 "ui.jpg was not written" test -s "$base/ui.jpg"
assert_eq "ffd8ff" "$(head -c 3 "$base/ui.jpg" | od -An -tx1 | tr -d ' \n')" "ui.jpg is a JPEG"
ls "$base" | grep -q '\.tmp$' && fail "a temporary file was left behind"
wait_pixel_not 800 500 "235,235,240" "the background shown at once"

send_key Escape
assert_eq 0 "$(wait_exit)" "exit code"
grep -q $'^useCustomBackground=1\r$' "$base/set.ini" || fail "set.ini does not keep the background"
rm -f "$picture"

start_launcher "$base"
wait_pixel_not 800 500 "0,0,0" "the first frame after the restart"
rgb=$(window_pixel 800 500)
IFS=, read -r r g b <<<"$rgb"
[ "$r" -gt 180 ] && [ "$g" -lt 60 ] && [ "$b" -gt 140 ] || fail "no background after the restart: $rgb"
send_key Escape
assert_eq 0 "$(wait_exit)" "exit code"
echo PASS
