#!/usr/bin/env bash
# Enter in the settings dialog means 确定 even with the focus on a switch,
# which carries a visible mark and keeps the state the click gave it; Escape
# means 取消.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/dialogs_lib.sh"

dir=$(make_portable)
seed_library "$dir"
start_launcher "$dir"
rate() { cat "$dir/set.ini" 2>/dev/null | tr -d "\r" | sed -n "s/^framerate_fps=//p"; }

# The "120" preset (positions inside the dialog as GTK lays it out), then Enter.
click 72 22
w=$(wait_window '^设置$')
wait_drawn "$w"
# Transient for the launcher, not above every program.
xprop -id "$w" WM_TRANSIENT_FOR | grep -qi "$(printf '0x%x' "$LUDEXA_WINDOW")" || fail "not transient for the launcher"
xprop -id "$w" _NET_WM_STATE | grep -q ABOVE && fail "the settings dialog stays above every program"
click_in "$w" 197 499
read -r wx wy _ _ < <(client_geometry "$w")
# The focus mark: a blue ring where an unfocused switch has a green border.
focus_ring() { screenshot "$dir/focus.png"; [ "$(pixel "$dir/focus.png" $((wx + 173)) $((wy + 499)))" == "28,113,216" ]; }
wait_for 30 "the focused switch is not marked" focus_ring
key_to "$w" Return
wait_window_gone '^设置$'
rate_is() { [ "$(rate)" == "$1" ]; }
wait_for 30 "Enter did not apply the dialog (framerate_fps=$(rate))" rate_is 120

# Escape discards: the "60" preset is not kept.
click 72 22
w=$(wait_window '^设置$')
wait_drawn "$w"
click_in "$w" 145 499
key_to "$w" Escape
wait_window_gone '^设置$'
send_key Escape
assert_eq 0 "$(wait_exit)" "exit code"
assert_eq 120 "$(rate)" "Escape kept the frame rate"
echo PASS
