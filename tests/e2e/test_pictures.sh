#!/usr/bin/env bash
# The picture area: a game whose media folder holds a PNG, a WebP and an AVIF
# of different colours shows each in turn as the right arrow is clicked; a
# game whose folder holds damaged GIFs (and junk WebP/AVIF files) leaves the
# launcher running through all of them, still able to show the good GIF
# after them, and exiting with code 0. Pictures whose headers ask for
# gigabytes: a real 16000 x 16000 PNG (750 KB on disk, 1 GB decoded) and a
# 54-byte BMP header claiming 20000 x 20000. The picture area says they are
# too large instead of decoding them, the arrows still lead to the good
# picture after them, and the process stays within a memory bound. The same
# PNG as ui.jpg, the background at start, leaves the window in its theme.
source "$(dirname "$0")/lib.sh"


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

# --- Picture bombs ----------------------------------------------------------
# Four bytes, big-endian.
be32() { printf "\\x$(printf %02x $(($1 >> 24 & 255)))\\x$(printf %02x $(($1 >> 16 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))\\x$(printf %02x $(($1 & 255)))"; }
# The CRC-32 of a file, as gzip's trailer holds it (little-endian).
crc32() { gzip -c <"$1" | tail -c 8 | head -c 4 | od -An -tu4 | tr -d ' '; }
# A PNG chunk: length, type and data, CRC over type and data.
png_chunk() {  # type data-file
  local body
  body=$(e2e_tempdir)/chunk
  { printf '%s' "$1"; cat "$2"; } >"$body"
  be32 "$(stat -c %s "$2")"
  cat "$body"
  be32 "$(crc32 "$body")"
}

# An all-black RGB PNG of w x h: each row a filter byte and 3 w zeros,
# compressed as one zlib stream (gzip's deflate between a zlib header and the
# Adler-32 of the rows, which for zeros is 1 + 65536 (n mod 65521)).
black_png() {  # w h file
  local w=$1 h=$2 parts n
  parts=$(e2e_tempdir)
  n=$((h * (1 + 3 * w)))
  { be32 "$w"; be32 "$h"; printf '\x08\x02\x00\x00\x00'; } >"$parts/ihdr"
  { printf '\x78\xda'; head -c "$n" /dev/zero | gzip -9 -n | tail -c +11 | head -c -8; be32 $((((n % 65521) << 16) | 1)); } >"$parts/idat"
  : >"$parts/iend"
  { printf '\x89PNG\r\n\x1a\n'; png_chunk IHDR "$parts/ihdr"; png_chunk IDAT "$parts/idat"; png_chunk IEND "$parts/iend"; } >"$3"
}

dir=$(make_portable "图片 炸弹")
media=$(library_with_game "$dir" "炸弹")
black_png 16000 16000 "$media/1_huge.png"
[ "$(stat -c %s "$media/1_huge.png")" -lt 2000000 ] || fail "the PNG bomb is not small on disk"
# The headers of a 24-bit 20000 x 20000 BMP, no pixels.
cp "$E2E_DIR/../data/corpus/picture_header/huge_header.bmp" "$media/2_huge.bmp"
convert -size 64x64 xc:'rgb(40,200,60)' "$media/3_good.png"
cp "$media/1_huge.png" "$dir/ui.jpg"
printf 'useCustomBackground=1\r\n' >"$dir/set.ini"

start_launcher "$dir"
# The picture area (350 wide from y 48) and the toolbar in theme 0: the
# background bomb was refused, the theme stays.
wait_pixel 470 40 "235,235,240" "the theme's toolbar with a refused background"

# The caption is drawn in the theme's hint colour, which nothing else in the
# picture area uses.
caption_pixels() {
  local shot
  shot=$(e2e_tempdir)/area.png
  import -window "$LUDEXA_WINDOW" -crop 350x300+0+48 +repage "$shot" 2>/dev/null
  convert "$shot" -fill black +opaque 'rgb(100,100,110)' -fill white -opaque 'rgb(100,100,110)' \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}
caption_shown() { [ "$(caption_pixels)" -gt 40 ]; }
wait_for 30 "no caption for the PNG bomb" caption_shown
screenshot "$E2E_TMP/png_bomb.png"
[ -n "${KEEP_E2E:-}" ] && echo "screenshot: $E2E_TMP/png_bomb.png" >&2
click "$arrow_x" "$arrow_y"
wait_for 30 "the BMP bomb's caption" caption_shown
click "$arrow_x" "$arrow_y"
wait_pixel "$sample_x" "$sample_y" "40,200,60" "the good picture after the two bombs"

pid=$(pgrep -P "$LUDEXA_PID" -x ludexa)
hwm_kb=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status")
# Either bomb decoded would take at least 1 GB; the sanitizer build's own
# peak stays far below this bound.
[ "$hwm_kb" -lt 700000 ] || fail "peak memory $hwm_kb kB"

send_key Escape
assert_eq 0 "$(wait_exit)" "exit code"
echo PASS
