#!/usr/bin/env bash
# First start in an empty folder: a new data.db, a hint in the empty grid; a
# second start shows the first window again and leaves at once, writing
# nothing; Escape writes set.ini and leaves no temporary file.
source "$(dirname "$0")/lib.sh"

dir=$(make_portable "首次 启动")
start_launcher "$dir"

assert_eq 0 "$(sql "$dir/data.db" 'SELECT count(*) FROM games')" "games in a new library"
# The hint text crosses the row y 208.
screenshot "$dir/first.png"
hint=$(convert "$dir/first.png" -crop 750x1+400+208 txt:- | grep -vc 'srgb(235,235,240)' || true)
[ "$hint" -gt 20 ] || fail "no hint in the empty grid"

# The first window, hidden meanwhile, is shown again.
xdotool windowunmap --sync "$LUDEXA_WINDOW"
started=$(now_ms)
code=0
(cd "$dir" && LD_PRELOAD="${LUDEXA_PRELOAD:-}" timeout 60 ./ludexa >"$dir/.second" 2>&1) || code=$?
assert_eq 0 "$code" "exit code of the second start ($(cat "$dir/.second"))"
[ $(($(now_ms) - started)) -lt 20000 ] || fail "the second start took $(($(now_ms) - started)) ms to leave"
wait_for 30 "the first window was not shown again" sh -c "xwininfo -id $LUDEXA_WINDOW | grep -q IsViewable"
[ -f "$dir/set.ini" ] && fail "the second start wrote set.ini"
wait_first_frame

quit_launcher
grep -q $'^windowX=0\r$' "$dir/set.ini" || fail "set.ini was not written with the window's place"
ls "$dir" | grep -q '\.tmp$' && fail "a temporary settings file was left behind"
echo PASS
