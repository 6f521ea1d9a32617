# Helpers for the end-to-end tests: the real ludexa binary in a temporary
# portable folder under Xvfb, driven with xdotool, observed through the files
# it writes and screenshots. Each test script sources this file and receives
# the binary's path as $1.
set -euo pipefail

LUDEXA_BIN=$(readlink -f "$1")
E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
LUDEXA_PID=""     # the subshell that runs the launcher and records its exit code
LUDEXA_DIR=""
LUDEXA_WINDOW=""
_cleanup_dirs=()
_own_xvfb=""

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

assert_eq() {  # expected actual message
  [ "$1" == "$2" ] || fail "$3: expected [$1], got [$2]"
}

_cleanup() {
  [ -n "$LUDEXA_PID" ] && pkill -P "$LUDEXA_PID" 2>/dev/null || true
  [ -n "$_own_xvfb" ] && kill "$_own_xvfb" 2>/dev/null || true
  [ -n "${KEEP_E2E:-}" ] || for d in "${_cleanup_dirs[@]}"; do rm -rf "$d"; done
}
trap _cleanup EXIT

# Uses the caller's display, or starts a private Xvfb when there is none.
ensure_display() {
  if [ -z "${DISPLAY:-}" ]; then
    local n=$((200 + RANDOM % 200))
    Xvfb ":$n" -screen 0 1280x800x24 -noreset -nolisten tcp >/dev/null 2>&1 &
    _own_xvfb=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  fi
  export GSETTINGS_BACKEND=${GSETTINGS_BACKEND:-memory}
}

# A fresh portable folder holding only the executable; prints its path.
# An optional name is used for the folder (spaces and Chinese characters welcome).
make_portable() {
  local base
  base=$(mktemp -d)
  _cleanup_dirs+=("$base")
  local dir="$base/${1:-portable}"
  mkdir -p "$dir"
  cp "$LUDEXA_BIN" "$dir/ludexa"
  echo "$dir"
}

# Starts the launcher in a portable folder and waits for its window, which is
# moved to (0, 0) and given the input focus.
start_launcher() {
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
  LUDEXA_WINDOW=""
  for _ in $(seq 300); do
    LUDEXA_WINDOW=$(xdotool search --onlyvisible --name '^Ludexa ' 2>/dev/null | head -1 || true)
    [ -n "$LUDEXA_WINDOW" ] && break
    [ -f "$dir/.exit" ] && fail "the launcher exited ($(cat "$dir/.exit")) before showing its window: $(cat "$dir/.stderr")"
    sleep 0.1
  done
  [ -n "$LUDEXA_WINDOW" ] || fail "no launcher window after 30 s"
  xdotool windowmove --sync "$LUDEXA_WINDOW" 0 0
  xdotool windowfocus --sync "$LUDEXA_WINDOW" || true
  sleep 0.5
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

# Waits for the launcher to exit and prints its exit code; what it wrote to
# stderr (sanitizer reports) goes to the test's log.
wait_exit() {
  local timeout=${1:-20}
  for _ in $(seq $((timeout * 10))); do
    if [ -f "$LUDEXA_DIR/.exit" ]; then
      cat "$LUDEXA_DIR/.stderr" >&2
      cat "$LUDEXA_DIR/.exit"
      return 0
    fi
    sleep 0.1
  done
  fail "the launcher did not exit within $timeout s"
}

screenshot() {  # file
  import -window root "$1"
}

# "r,g,b" of one pixel of a screenshot.
pixel() {  # file x y
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}

# Waits until a window with the given title is shown; prints its id.
wait_window() {  # title-regex [timeout]
  local w=""
  for _ in $(seq $((${2:-10} * 10))); do
    w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.1
  done
  fail "no window titled $1"
}

sql() {  # database query
  sqlite3 "$1" "$2"
}
