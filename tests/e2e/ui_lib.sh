# Helpers of the main-window end-to-end tests: resizing the launcher and
# finding a colour in a screenshot row.

# Resizes the launcher's window and waits until the frame at the new size is
# drawn (its bottom-right frame line).
resize_launcher() {  # width height
  xdotool windowsize --sync "$LUDEXA_WINDOW" "$1" "$2"
  wait_pixel $(($1 - 2)) $(($2 - 2)) "200,200,210" "the window at $1 x $2"
}

# The first x in row y, from x0 over `width` pixels, whose colour is r,g,b.
find_colour_x() {  # file y x0 width r,g,b
  convert "$1" -crop "${4}x1+${3}+${2}" txt:- |
    awk -F'[ ,:]+' -v x0="$3" -v want="srgb($5)" '!found && index($0, want) { print $1 + x0; found = 1 }'
}
