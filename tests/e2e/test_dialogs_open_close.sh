#!/usr/bin/env bash
# Each toolbar button opens its dialog; Escape closes it, nothing it did is
# kept, and the main window takes clicks and keys again at once.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/dialogs_lib.sh"

dir=$(make_portable)
seed_library "$dir"
printf '[Categories]\r\ncategories=RPG|动作\r\n' >"$dir/set.ini"
start_launcher "$dir"

sleep_state() { tr -d '\r' <"$dir/set.ini" | sed -n 's/^sleepEnabled=//p'; }

expected_sleep=0
for button in "24 22 帮助" "72 22 设置" "357 22 管理分类"; do
  read -r x y title <<<"$button"
  click "$x" "$y"
  w=$(wait_window "^$title\$")
  wait_drawn "$w"
  key_to "$w" Escape
  wait_window_gone "^$title\$"
  # The sleep switch saves set.ini at once: the click reached the main window.
  click 158 22
  expected_sleep=$((1 - expected_sleep))
  sleep_is() { [ "$(sleep_state)" == "$expected_sleep" ]; }
  wait_for 30 "the main window takes no clicks after $title (sleepEnabled [$(sleep_state)])" sleep_is
done
grep -q '^categories=RPG|动作' "$dir/set.ini" || fail "Escape in the category manager changed the list"

send_key Escape
assert_eq 0 "$(wait_exit)" "exit code"
echo PASS
