# Helpers of the main-window end-to-end tests: waiting for what the window
# shows, and resizing it.

# Waits until the pixel at (x, y) of the screen is (or, with "!", is not) the
# given colour; fails with the message otherwise.
wait_pixel() {  # x y [!]r,g,b message [timeout]
  local want=$3 got="" shot
  shot=$(mktemp --suffix=.png)
  for _ in $(seq $((${5:-10} * 5))); do
    screenshot "$shot"
    got=$(pixel "$shot" "$1" "$2")
    if [ "${want:0:1}" == "!" ]; then [ "$got" != "${want:1}" ] && { rm -f "$shot"; return 0; }
    else [ "$got" == "$want" ] && { rm -f "$shot"; return 0; }; fi
    sleep 0.2
  done
  rm -f "$shot"
  fail "$4: pixel ($1, $2) expected [$want], got [$got]"
}

# Resizes the launcher's window and waits until it has the new size.
resize_launcher() {  # width height
  xdotool windowsize --sync "$LUDEXA_WINDOW" "$1" "$2"
  for _ in $(seq 50); do
    [ "$(xwininfo -id "$LUDEXA_WINDOW" | awk '/^ +Width:/{w=$2} /^ +Height:/{h=$2} END{print w "x" h}')" == "$1x$2" ] && break
    sleep 0.1
  done
  # The frame at the new size: its bottom-right frame line is drawn.
  wait_pixel $(($1 - 2)) $(($2 - 2)) "200,200,210" "the window at $1 x $2"
}

# The first x in row y, from x0 over `width` pixels, whose colour is r,g,b.
find_colour_x() {  # file y x0 width r,g,b
  convert "$1" -crop "${4}x1+${3}+${2}" txt:- |
    awk -F'[ ,:]+' -v x0="$3" -v want="srgb($5)" '!found && index($0, want) { print $1 + x0; found = 1 }'
}
