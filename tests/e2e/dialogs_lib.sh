# Helpers shared by the dialog and display-mode end-to-end tests.

# Sends keys to a window after giving it the focus (no window manager does).
key_to() {  # window key...
  local w=$1
  shift
  xdotool windowfocus --sync "$w" 2>/dev/null || true
  xdotool key --clearmodifiers "$@"
}

# Clicks at a point of a window, in that window's own coordinates.
click_in() {  # window x y
  xdotool mousemove --sync --window "$1" "$2" "$3" click 1
}

# "x y width height" of a window's client area, in screen coordinates.
client_geometry() {  # window
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
    /^ +Width:/{w=$2} /^ +Height:/{h=$2} END{print x, y, w, h}'
}

# Waits until a window's client area has the given geometry.
wait_geometry() {  # window "x y w h" message
  local got="" end=$((SECONDS + 30))
  while :; do
    got=$(client_geometry "$1")
    [ "$got" == "$2" ] && return 0
    [ "$SECONDS" -lt "$end" ] || fail "$3: expected [$2], got [$got]"
    sleep 0.1
  done
}

# The data.db schema of every Ludexa, with a few games in it.
seed_library() {  # dir
  sql "$1/data.db" "$GAMES_SCHEMA
    INSERT INTO games(name, exe_path, category, save_dir) VALUES
      ('空洞骑士', '/usr/bin/true', 'RPG|动作', '/saves/hk'), ('星露谷物语', '/usr/bin/true', '', '');"
}

# A window manager has settled a window when its frame and place read the same
# twice in a row.
settled() {  # window
  local a b
  a="$(client_geometry "$1") $(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null)"
  sleep 0.2
  b="$(client_geometry "$1") $(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null)"
  [ "$a" == "$b" ] && [[ "$b" == *=* ]]
}
