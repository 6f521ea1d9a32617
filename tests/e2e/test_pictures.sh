#!/usr/bin/env bash
# The picture area: a game whose media folder holds a 54-byte BMP header
# claiming 20000 x 20000 (1.6 GB decoded), then a WebP and an AVIF made by
# their own encoders. The area says the bomb is too large instead of decoding
# it, the right arrow leads on to each picture in turn, and the process stays
# within a memory bound. The same bomb as ui.jpg, the background at start,
# leaves the window in its theme.
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

dir=$(make_portable "图片 炸弹")
media=$(library_with_game "$dir" "炸弹")
work=$(e2e_tempdir)
# The headers of a 24-bit 20000 x 20000 BMP, no pixels.
cp "$E2E_DIR/../data/corpus/picture_header/huge_header.bmp" "$media/1_huge.bmp"
convert -size 64x64 xc:'rgb(40,200,60)' "$work/green.png"
cwebp -quiet -lossless "$work/green.png" -o "$media/2.webp"
convert -size 64x64 xc:'rgb(40,60,220)' "$work/blue.png"
avifenc --lossless "$work/blue.png" "$media/3.avif" >/dev/null
cp "$media/1_huge.bmp" "$dir/ui.jpg"
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
wait_for 30 "no caption for the BMP bomb" caption_shown
click "$arrow_x" "$arrow_y"
wait_pixel "$sample_x" "$sample_y" "40,200,60" "the WebP after the bomb"
click "$arrow_x" "$arrow_y"
wait_pixel "$sample_x" "$sample_y" "40,60,220" "the AVIF after the WebP"

pid=$(pgrep -P "$LUDEXA_PID" -x ludexa)
hwm_kb=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status")
# The bomb decoded would take at least 1.6 GB; the sanitizer build's own
# peak stays far below this bound.
[ "$hwm_kb" -lt 700000 ] || fail "peak memory $hwm_kb kB"

send_key Escape
assert_eq 0 "$(wait_exit)" "exit code"
echo PASS
