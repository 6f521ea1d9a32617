#!/usr/bin/env bash
# A hand-written set.ini full of out-of-range values comes back corrected, and
# the values that are valid survive a round trip; LF line ends are accepted.
source "$(dirname "$0")/lib.sh"

dir=$(make_portable)
printf '%s\n' '[Layout]' 'leftPanelWidthRatio=0.4' 'leftTopHeightRatio=nan' 'toolbarHeight=abc' \
  'windowWidth=799' 'windowHeight=600' 'windowX=-5' 'windowY=10' 'windowMaximized=yes' \
  '[Appearance]' 'iconSize=6' 'themeIndex=4' 'useCustomBackground=1' 'fontSize=8' 'fontPath=/nonexistent/字体.ttf' \
  '[Sort]' 'sortMode=3' 'sortAscending=1' 'sleepEnabled=1' 'sleepAutoMinute=2' 'sleepOnLaunch=0' 'fmtGif=no' \
  'fmtPng=0' 'fullscreen=7' 'gamepadMode=0' 'framerate_fps=10' '[Categories]' 'categories=RPG||动作|' \
  'unknownKey=1' 'sortMode =1' >"$dir/set.ini"
start_launcher "$dir"
# Theme 4 ("商务黑") was valid: its toolbar colour is (30,30,30).
assert_eq "30,30,30" "$(window_pixel 470 40)" "toolbar colour of theme 4"
send_key Escape
assert_eq 0 "$(wait_exit)" "exit code"

got=$(tr -d '\r' <"$dir/set.ini")
expect_line() { grep -qxF "$1" <<<"$got" || fail "set.ini lacks [$1]:\n$got"; }
expect_line "leftPanelWidthRatio=0.400000"
expect_line "leftTopHeightRatio=0.500000"
expect_line "windowWidth=1200"
expect_line "windowHeight=800"
expect_line "windowMaximized=0"
expect_line "iconSize=1"
expect_line "themeIndex=4"
expect_line "useCustomBackground=0"
expect_line "fontSize=10"
expect_line "fontPath=/nonexistent/字体.ttf"
expect_line "sortMode=2"
expect_line "sortAscending=1"
expect_line "sleepEnabled=1"
expect_line "sleepAutoMinute=0"
expect_line "sleepOnLaunch=0"
expect_line "fmtGif=1"
expect_line "fmtPng=0"
expect_line "fullscreen=0"
expect_line "gamepadMode=1"
expect_line "framerate_fps=30"
expect_line "categories=RPG|动作"
echo PASS
