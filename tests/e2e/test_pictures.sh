#!/usr/bin/env bash
# The picture area: a game whose media folder holds a PNG, a WebP and an AVIF
# of different colours shows each in turn as the right arrow is clicked; a
# game whose folder holds damaged GIFs (and junk WebP/AVIF files) leaves the
# launcher running through all of them, still able to show the good GIF
# after them, and exiting with code 0.
source "$(dirname "$0")/lib.sh"

schema="CREATE TABLE IF NOT EXISTS games (id INTEGER PRIMARY KEY AUTOINCREMENT,name TEXT NOT NULL,exe_path TEXT,folder_path TEXT,category TEXT,icon BLOB,created_at TEXT DEFAULT CURRENT_TIMESTAMP,last_played TEXT,play_count INTEGER DEFAULT 0,launch_args TEXT DEFAULT '',save_dir TEXT DEFAULT '',game_size INTEGER DEFAULT 0,is_favorite INTEGER DEFAULT 0);"

# A portable folder holding one game called $2; prints the game's media folder.
library_with_game() {  # dir name
  sql "$1/data.db" "$schema INSERT INTO games (name, exe_path) VALUES ('$2', '/bin/true');"
  mkdir -p "$1/media/$2"
  echo "$1/media/$2"
}

# Where to look and click, in window pixels. The picture area starts under
# the toolbar (44) and its splitter (4) and spans the left column (350 of
# 1200). A point near its top-middle lies on the picture whatever its height;
# the right arrow's circle (radius 30) is centred 50 pixels from the column's
# right edge, halfway down the picture area: y = 223 for a square picture
# (height 350), 236 for the default split (376). y = 229 hits both.
sample_x=175
sample_y=100
arrow_x=300
arrow_y=229

# Waits until the sampled pixel is within 6 of r,g,b on every channel.
wait_colour() {  # r g b what
  local got=""
  local end=$((SECONDS + 30))
  while [ "$SECONDS" -lt "$end" ]; do
    still_running "$4"
    got=$(window_pixel "$sample_x" "$sample_y")
    IFS=, read -r r g b <<<"$got"
    if [ $((r > $1 ? r - $1 : $1 - r)) -le 6 ] && [ $((g > $2 ? g - $2 : $2 - g)) -le 6 ] &&
       [ $((b > $3 ? b - $3 : $3 - b)) -le 6 ]; then
      return 0
    fi
    sleep 0.2
  done
  fail "$4: expected about $1,$2,$3, got $got"
}

still_running() {  # what
  [ -f "$LUDEXA_DIR/.exit" ] && fail "the launcher ended ($(cat "$LUDEXA_DIR/.exit")) after $1: $(cat "$LUDEXA_DIR/.stderr")"
  return 0
}

# --- PNG, WebP and AVIF, in file-name order ---------------------------------
dir=$(make_portable "图片 测试")
media=$(library_with_game "$dir" "彩色 图片")
work=$(e2e_tempdir)
convert -size 64x64 xc:'rgb(220,40,40)' "$media/1.png"
convert -size 64x64 xc:'rgb(40,200,60)' "$work/green.png"
cwebp -quiet -lossless "$work/green.png" -o "$media/2.webp"
convert -size 64x64 xc:'rgb(40,60,220)' "$work/blue.png"
avifenc --lossless "$work/blue.png" "$media/3.avif" >/dev/null

start_launcher "$dir"
wait_colour 220 40 40 "the PNG"
click "$arrow_x" "$arrow_y"
wait_colour 40 200 60 "the WebP after one click"
click "$arrow_x" "$arrow_y"
wait_colour 40 60 220 "the AVIF after two clicks"
send_key Escape
assert_eq 0 "$(wait_exit)" "exit code after the pictures"

# --- Damaged files --------------------------------------------------------
dir=$(make_portable "损坏 动画")
media=$(library_with_game "$dir" "损坏")
head -c 3000 /dev/urandom >"$media/1_noise.gif"
: >"$media/2_empty.gif"
convert -size 40x40 xc:red xc:blue xc:lime -set delay 10 "$work/anim.gif"
size=$(stat -c %s "$work/anim.gif")
head -c $((size * 2 / 3)) "$work/anim.gif" >"$media/3_cut.gif"
# A header that claims a 9000 × 10 canvas, then one frame.
printf 'GIF89a\x28\x23\x0a\x00\x80\x00\x00\xff\x00\x00\x00\x00\xff\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3b' >"$media/4_wide.gif"
{ printf 'GIF89a\x10\x00\x10\x00\xf7\x00\x00'; head -c 2000 /dev/urandom; } >"$media/5_header_then_noise.gif"
head -c 1000 /dev/urandom >"$media/6_junk.webp"
{ printf '\x00\x00\x00\x1cftypavif'; head -c 1000 /dev/urandom; } >"$media/7_junk.avif"
# A good 1 × 1 GIF whose only colour is (30, 200, 200).
printf 'GIF89a\x01\x00\x01\x00\x80\x00\x00\x1e\xc8\xc8\x00\x00\x00\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3b' >"$media/8_good.gif"

start_launcher "$dir"
# Each damaged file is given a moment to do harm before the next one: these
# waits are on purpose, the check is that nothing happens (no crash).
sleep 1  # on purpose, as above
still_running "1_noise.gif"
for name in 2_empty.gif 3_cut.gif 4_wide.gif 5_header_then_noise.gif 6_junk.webp 7_junk.avif; do
  click "$arrow_x" "$arrow_y"
  sleep 0.6  # on purpose, as above
  still_running "$name"
done
click "$arrow_x" "$arrow_y"
wait_colour 30 200 200 "the good GIF after the damaged files"
send_key Escape
assert_eq 0 "$(wait_exit)" "exit code after the damaged files"
echo PASS
