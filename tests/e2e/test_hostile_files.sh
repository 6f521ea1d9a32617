#!/usr/bin/env bash
# FIFOs and /dev/zero links as descriptions, pictures, ui.jpg and font, and a
# window size far beyond the screen: the program starts, stays within the
# screen and exits.
source "$(dirname "$0")/lib.sh"

dir=$(make_portable "hostile")
media=$(library_with_game "$dir" Game)
mkfifo "$media/a.txt" "$media/a.png" "$dir/ui.jpg" "$dir/font.ttf"
ln -s /dev/zero "$media/b.txt"
ln -s /dev/zero "$media/b.jpg"
printf 'windowWidth=32767\r\nwindowHeight=32767\r\nuseCustomBackground=1\r\nfontPath=%s\r\n' "$dir/font.ttf" >"$dir/set.ini"

start_launcher "$dir"
read -r _ _ width height < <(client_geometry "$LUDEXA_WINDOW")
screen=$(xdpyinfo | awk '/dimensions:/{print $2}')
[ "$width" -le "${screen%x*}" ] && [ "$height" -le "${screen#*x}" ] ||
  fail "window ${width}x$height is larger than the screen $screen"

quit_launcher
grep -q $'^useCustomBackground=0\r$' "$dir/set.ini" || fail "a FIFO ui.jpg was taken as a background"
echo PASS
