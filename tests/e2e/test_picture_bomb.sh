#!/usr/bin/env bash
# Pictures whose headers ask for gigabytes: a real 16000 x 16000 PNG (750 KB
# on disk, 1 GB decoded) and a 54-byte BMP header claiming 20000 x 20000. The
# picture area says they are too large instead of decoding them, the arrows
# still lead to the good picture after them, and the process stays within a
# memory bound. The same PNG as ui.jpg, the background at start, leaves the
# window in its theme.
source "$(dirname "$0")/lib.sh"

schema="CREATE TABLE IF NOT EXISTS games (id INTEGER PRIMARY KEY AUTOINCREMENT,name TEXT NOT NULL,exe_path TEXT,folder_path TEXT,category TEXT,icon BLOB,created_at TEXT DEFAULT CURRENT_TIMESTAMP,last_played TEXT,play_count INTEGER DEFAULT 0,launch_args TEXT DEFAULT '',save_dir TEXT DEFAULT '',game_size INTEGER DEFAULT 0,is_favorite INTEGER DEFAULT 0);"

# Four bytes, big-endian.
be32() { printf "\\x$(printf %02x $(($1 >> 24 & 255)))\\x$(printf %02x $(($1 >> 16 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))\\x$(printf %02x $(($1 & 255)))"; }
le32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))\\x$(printf %02x $(($1 >> 16 & 255)))\\x$(printf %02x $(($1 >> 24 & 255)))"; }
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
sql "$dir/data.db" "$schema INSERT INTO games (name, exe_path) VALUES ('炸弹', '/bin/true');"
media="$dir/media/炸弹"
mkdir -p "$media"
black_png 16000 16000 "$media/1_huge.png"
[ "$(stat -c %s "$media/1_huge.png")" -lt 2000000 ] || fail "the PNG bomb is not small on disk"
# BITMAPFILEHEADER and BITMAPINFOHEADER of a 24-bit 20000 x 20000 picture, no pixels.
{ printf 'BM'; le32 54; le32 0; le32 54; le32 40; le32 20000; le32 20000; printf '\x01\x00\x18\x00'; le32 0; le32 0; le32 2835; le32 2835; le32 0; le32 0; } >"$media/2_huge.bmp"
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
# The right arrow (see test_pictures.sh): centred 50 from the column's edge.
click 300 229
wait_for 30 "the BMP bomb's caption" caption_shown
click 300 229
wait_pixel 175 100 "40,200,60" "the good picture after the two bombs"

pid=$(pgrep -P "$LUDEXA_PID" -x ludexa)
hwm_kb=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status")
# Either bomb decoded would take at least 1 GB; the sanitizer build's own
# peak stays far below this bound.
[ "$hwm_kb" -lt 700000 ] || fail "peak memory $hwm_kb kB"

send_key Escape
assert_eq 0 "$(wait_exit)" "exit code"
echo PASS
