#!/usr/bin/env bash
# First start in an empty folder: data.db with the exact schema, the toolbar
# band in the default theme's colour, a hint in the empty grid; a second start
# in the same folder shows the first window again and leaves at once, writing
# nothing; Escape writes the default set.ini and the program exits with code 0.
source "$(dirname "$0")/lib.sh"

dir=$(make_portable "首次 启动")
start_launcher "$dir"

[ -f "$dir/data.db" ] || fail "data.db was not created"
schema=$(sql "$dir/data.db" "SELECT sql FROM sqlite_master WHERE name='games'")
assert_eq "CREATE TABLE games (id INTEGER PRIMARY KEY AUTOINCREMENT,name TEXT NOT NULL,exe_path TEXT,folder_path TEXT,category TEXT,icon BLOB,created_at TEXT DEFAULT CURRENT_TIMESTAMP,last_played TEXT,play_count INTEGER DEFAULT 0,launch_args TEXT DEFAULT '',save_dir TEXT DEFAULT '',game_size INTEGER DEFAULT 0,is_favorite INTEGER DEFAULT 0)" "$schema" "schema"
assert_eq 0 "$(sql "$dir/data.db" 'SELECT count(*) FROM games')" "games in a new library"

# The toolbar band of theme 0 is (235,235,240); away from every button.
assert_eq "235,235,240" "$(window_pixel 470 40)" "toolbar colour"
# The empty grid says what to do: its hint text crosses the row y 208.
screenshot "$dir/first.png"
hint=$(convert "$dir/first.png" -crop 750x1+400+208 txt:- | grep -vc 'srgb(235,235,240)' || true)
[ "$hint" -gt 20 ] || fail "no hint in the empty grid"

# The second start: the first window, hidden meanwhile, is shown again, and
# the second process ends by itself within seconds, leaving no set.ini.
xdotool windowunmap --sync "$LUDEXA_WINDOW"
started=$(now_ms)
code=0
(cd "$dir" && LD_PRELOAD="${LUDEXA_PRELOAD:-}" timeout 60 ./ludexa >"$dir/.second" 2>&1) || code=$?
assert_eq 0 "$code" "exit code of the second start ($(cat "$dir/.second"))"
[ $(($(now_ms) - started)) -lt 20000 ] || fail "the second start took $(($(now_ms) - started)) ms to leave"
wait_for 30 "the first window was not shown again" sh -c "xwininfo -id $LUDEXA_WINDOW | grep -q IsViewable"
[ -f "$dir/set.ini" ] && fail "the second start wrote set.ini"
wait_first_frame

send_key Escape
assert_eq 0 "$(wait_exit)" "exit code"
[ -f "$dir/set.ini" ] || fail "set.ini was not written"
printf '[Layout]\r\nleftPanelWidthRatio=0.291667\r\nleftTopHeightRatio=0.500000\r\ntoolbarHeight=44.00\r\nwindowWidth=1200\r\nwindowHeight=800\r\nwindowX=0\r\nwindowY=0\r\nwindowMaximized=0\r\n\r\n[Appearance]\r\niconSize=1\r\nthemeIndex=0\r\nuseCustomBackground=0\r\nfontSize=14\r\n\r\n[Sort]\r\nsortMode=2\r\nsortAscending=0\r\nsleepEnabled=0\r\nsleepAutoMinute=0\r\nsleepOnLaunch=1\r\nfmtJpg=1\r\nfmtPng=1\r\nfmtBmp=1\r\nfmtWebp=1\r\nfmtAvif=1\r\nfmtGif=1\r\nfullscreen=0\r\ngamepadMode=1\r\nframerate_fps=30\r\n\r\n[Categories]\r\ncategories=\r\n' >"$dir/expected.ini"
cmp "$dir/expected.ini" "$dir/set.ini" || fail "set.ini differs from the defaults"
ls "$dir" | grep -q '\.tmp$' && fail "a temporary settings file was left behind"
echo PASS
