# Helpers for the end-to-end tests: the real ludexa binary in a temporary
# portable folder under Xvfb, driven with xdotool. Each test script sources this
# file and receives the binary's path as $1. Every wait is for a condition, with
# a timeout generous enough for a loaded machine and a sanitizer build; a fixed
# sleep only checks that something does NOT happen, and says so.
set -euo pipefail

LUDEXA_BIN=$(readlink -f "$1")
E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
LUDEXA_PID=""     # the subshell that runs the launcher and records its exit code
LUDEXA_DIR=""
LUDEXA_WINDOW=""
_own_xvfb=""
# Everything a test and the programs it starts make lives in one folder, made
# in the test's own shell (not a $(...) subshell) and removed when the test
# ends; KEEP_E2E=1 keeps it.
E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/ludexa-e2e.XXXXXX")
export TMPDIR=$E2E_TMP

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

assert_eq() {  # expected actual message
  [ "$1" == "$2" ] || fail "$3: expected [$1], got [$2]"
}

_cleanup() {
  # The launcher goes first, so that nothing writes into the folder being removed.
  if [ -n "$LUDEXA_PID" ]; then
    pkill -P "$LUDEXA_PID" 2>/dev/null || true
    for _ in $(seq 100); do kill -0 "$LUDEXA_PID" 2>/dev/null || break; sleep 0.1; done
    pkill -KILL -P "$LUDEXA_PID" 2>/dev/null || true
  fi
  [ -n "$_own_xvfb" ] && kill "$_own_xvfb" 2>/dev/null || true
  if [ -n "${KEEP_E2E:-}" ]; then
    echo "kept: $E2E_TMP" >&2
  else
    rm -rf "$E2E_TMP"
  fi
}
trap _cleanup EXIT

# A new empty folder inside the test's folder; prints its path.
e2e_tempdir() {
  mktemp -d "$E2E_TMP/d.XXXXXX"
}

# Runs a command until it succeeds; fails the test with the message when it
# still has not after the timeout (in seconds).
wait_for() {  # timeout message command...
  local timeout=$1 message=$2
  shift 2
  local end=$((SECONDS + timeout))
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || fail "$message (waited $timeout s)"
    sleep 0.1
  done
}

now_ms() {
  date +%s%3N
}

# Uses the caller's display, or starts a private Xvfb when there is none.
ensure_display() {
  if [ -z "${DISPLAY:-}" ]; then
    local n=$((200 + RANDOM % 200))
    while [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x800x24 -noreset -nolisten tcp >/dev/null 2>&1 &
    _own_xvfb=$!
    export DISPLAY=":$n"
    wait_for 30 "Xvfb :$n did not start" test -e "/tmp/.X11-unix/X$n"
  fi
  gtk_test_settings
}

# A fresh portable folder holding only the executable; prints its path.
# An optional name is used for the folder (spaces and Chinese characters welcome).
make_portable() {
  local dir
  dir="$(e2e_tempdir)/${1:-portable}"
  mkdir -p "$dir"
  cp "$LUDEXA_BIN" "$dir/ludexa"
  echo "$dir"
}

# "r,g,b" of one pixel of the launcher window (not shifted by a frame), read
# from the numbers: ImageMagick names some colours ("red") instead.
window_pixel() {  # x y
  import -window "$LUDEXA_WINDOW" -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null |
    sed -n '2s/^[^(]*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p'
}

_launcher_exited() {
  [ -f "$LUDEXA_DIR/.exit" ] && fail "the launcher exited ($(cat "$LUDEXA_DIR/.exit")): $(cat "$LUDEXA_DIR/.stderr")"
  return 0
}

_pixel_is() {  # x y rgb...
  local got
  _launcher_exited
  got=$(window_pixel "$1" "$2")
  shift 2
  for want in "$@"; do [ "$got" == "$want" ] && return 0; done
  _last_pixel=$got
  return 1
}
# Waits until a pixel of the launcher window has the colour, or one of the
# colours separated by "|".
wait_pixel() {  # x y rgb message [timeout]
  _last_pixel=""
  local end=$((SECONDS + ${5:-30})) wants
  IFS='|' read -ra wants <<<"$3"
  until _pixel_is "$1" "$2" "${wants[@]}"; do
    [ "$SECONDS" -lt "$end" ] || fail "$4: expected [$3] at $1,$2, got [$_last_pixel]"
    sleep 0.1
  done
}

_pixel_is_not() { ! _pixel_is "$@"; }
# Waits until a pixel of the launcher window no longer has the given colour.
wait_pixel_not() {  # x y rgb message [timeout]
  wait_for "${5:-30}" "$4: still [$3] at $1,$2" _pixel_is_not "$1" "$2" "$3"
}

# Starts the launcher of a portable folder in the background and returns at
# once (its exit code goes to .exit); sets LUDEXA_DIR and LUDEXA_PID.
launch_in_background() {
  local dir=$1
  ensure_display
  LUDEXA_DIR=$dir
  rm -f "$dir/.exit"
  (
    cd "$dir"
    code=0
    LD_PRELOAD="${LUDEXA_PRELOAD:-}" ./ludexa >"$dir/.stdout" 2>"$dir/.stderr" || code=$?
    echo "$code" >"$dir/.exit"
  ) &
  LUDEXA_PID=$!
}

# Starts the launcher and takes its window.
start_launcher() {
  launch_in_background "$1"
  take_launcher_window
}

_launcher_window_shown() {
  _launcher_exited
  _window_shown '^Ludexa '
}

# Waits for the launcher's window, moves it to (0, 0), focuses it and waits for
# its first frame (the help button, drawn first, plain or hovered).
take_launcher_window() {
  wait_for 60 "no launcher window" _launcher_window_shown
  LUDEXA_WINDOW=$(wait_window '^Ludexa ')
  xdotool windowmove --sync "$LUDEXA_WINDOW" 0 0
  xdotool windowfocus --sync "$LUDEXA_WINDOW" || true
  wait_first_frame
}

wait_first_frame() {
  wait_pixel 14 12 "245,85,85|255,148,148" "no first frame (the help button)" 60
}

focus_launcher() {
  xdotool windowfocus --sync "$LUDEXA_WINDOW" || true
}

send_key() {  # key...
  focus_launcher
  xdotool key --clearmodifiers "$@"
}

type_text() {
  focus_launcher
  xdotool type --delay 60 "$1"
}

click() {  # x y [button]; window coordinates (the window sits at 0, 0)
  xdotool mousemove --sync "$1" "$2" click "${3:-1}"
}

double_click() {
  xdotool mousemove --sync "$1" "$2" click --repeat 2 --delay 120 1
}

# Right-clicks at (x, y) and waits until the menu shows at the probe point
# (a point the menu covers): its pixel changes from what it was before.
open_menu() {  # x y probe-x probe-y
  xdotool mousemove --sync "$1" "$2"
  local before
  before=$(window_pixel "$3" "$4")
  xdotool click 3
  wait_pixel_not "$3" "$4" "$before" "no menu opened by a right click at $1,$2"
}

# Waits for the launcher to exit and prints its exit code; what it wrote to
# stderr (sanitizer reports) goes to the test's log.
wait_exit() {
  local timeout=${1:-60}
  wait_for "$timeout" "the launcher did not exit" test -f "$LUDEXA_DIR/.exit"
  cat "$LUDEXA_DIR/.stderr" >&2
  cat "$LUDEXA_DIR/.exit"
}

screenshot() {  # file
  import -window root "$1"
}

# "r,g,b" of one pixel of a screenshot.
pixel() {  # file x y
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}

_window_shown() {  # title-regex
  xdotool search --onlyvisible --name "$1" >/dev/null 2>&1
}
_window_not_shown() { ! _window_shown "$1"; }

# Waits until a window with the given title is shown; prints its id.
wait_window() {  # title-regex [timeout]
  wait_for "${2:-30}" "no window titled $1" _window_shown "$1"
  xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true
}

wait_window_gone() {  # title-regex [timeout]
  wait_for "${2:-30}" "window $1 is still open" _window_not_shown "$1"
}

# Waits until a window (a GTK dialog) has drawn itself and is still: two
# captures alike, with more than one colour (the caret does not blink here).
wait_drawn() {  # window [timeout]
  local end=$((SECONDS + ${2:-30})) previous="" current
  while :; do
    current=$(import -window "$1" -depth 8 rgb:- 2>/dev/null | md5sum)
    if [ "$current" == "$previous" ] &&
       [ "$(import -window "$1" -format '%k' info: 2>/dev/null || echo 1)" -gt 1 ]; then
      return 0
    fi
    [ "$SECONDS" -lt "$end" ] || fail "window $1 did not settle"
    previous=$current
    sleep 0.2
  done
}

# A fingerprint of what a window shows.
window_hash() {  # window
  import -window "$1" -depth 8 rgb:- 2>/dev/null | md5sum
}

# Waits until a window shows something else than the fingerprint, then settles.
wait_window_changed() {  # window hash [timeout]
  local end=$((SECONDS + ${3:-30}))
  while [ "$(window_hash "$1")" == "$2" ]; do
    [ "$SECONDS" -lt "$end" ] || fail "window $1 did not change"
    sleep 0.1
  done
  wait_drawn "$1"
}

_clipboard_holds() {  # text
  [ "$(xclip -o -selection clipboard 2>/dev/null)" == "$1" ]
}

# Puts a path in a GTK file chooser's location entry (Ctrl+L) and takes it;
# Delete drops a completion GTK may have added after it.
choose_path() {  # chooser path
  local shown
  wait_drawn "$1"
  xdotool windowfocus --sync "$1" || true
  shown=$(window_hash "$1")
  xdotool key --clearmodifiers ctrl+l
  wait_window_changed "$1" "$shown"
  shown=$(window_hash "$1")
  # Pasted, not typed: on a loaded machine a typed Chinese character can be
  # lost while xdotool remaps a key for it.
  printf '%s' "$2" | timeout 30 xclip -quiet -selection clipboard >/dev/null 2>&1 &
  wait_for 10 "the path did not reach the clipboard" _clipboard_holds "$2"
  xdotool key --clearmodifiers ctrl+v
  wait_window_changed "$1" "$shown"
  xdotool key --clearmodifiers Delete Return
}

# GTK for the tests: no blinking caret, and a file chooser that starts in the
# current folder (in "Recent", its default, a typed path is not taken).
gtk_test_settings() {
  export XDG_CONFIG_HOME="$E2E_TMP/config"
  mkdir -p "$XDG_CONFIG_HOME/gtk-3.0" "$XDG_CONFIG_HOME/glib-2.0/settings"
  printf '[Settings]\ngtk-cursor-blink=false\n' >"$XDG_CONFIG_HOME/gtk-3.0/settings.ini"
  printf "[org/gtk/settings/file-chooser]\nstartup-mode='cwd'\n" >"$XDG_CONFIG_HOME/glib-2.0/settings/keyfile"
  export GSETTINGS_BACKEND=keyfile
}

# sqlite3 with a busy timeout: the launcher may be writing the file.
sql() {  # database query
  sqlite3 -cmd ".timeout 5000" "$1" "$2"
}

# The games table of every Ludexa's data.db.
GAMES_SCHEMA="CREATE TABLE IF NOT EXISTS games (id INTEGER PRIMARY KEY AUTOINCREMENT,name TEXT NOT NULL,exe_path TEXT,folder_path TEXT,category TEXT,icon BLOB,created_at TEXT DEFAULT CURRENT_TIMESTAMP,last_played TEXT,play_count INTEGER DEFAULT 0,launch_args TEXT DEFAULT '',save_dir TEXT DEFAULT '',game_size INTEGER DEFAULT 0,is_favorite INTEGER DEFAULT 0);"

# A portable folder's library holding one game called $2; prints the game's
# media folder, made empty.
library_with_game() {  # dir name
  sql "$1/data.db" "$GAMES_SCHEMA INSERT INTO games (name, exe_path) VALUES ('$2', '/bin/true');"
  mkdir -p "$1/media/$2"
  echo "$1/media/$2"
}

# Waits until a window is shown and has drawn itself; prints its id.
wait_dialog() {  # title-regex [timeout]
  local w
  w=$(wait_window "$@")
  wait_drawn "$w"
  echo "$w"
}

# Escape ends the launcher, which must exit cleanly.
quit_launcher() {  # [message]
  send_key Escape
  assert_eq 0 "$(wait_exit)" "${1:-exit code}"
}

# Waits for a window (a message box), lets it draw, answers it with a key and
# waits until it is gone.
answer_window() {  # title-regex [key] [timeout]
  local w
  w=$(wait_dialog "$1" "${3:-30}")
  key_to "$w" "${2:-Return}"
  wait_window_gone "$1"
}

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
