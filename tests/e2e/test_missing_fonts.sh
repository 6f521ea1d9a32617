#!/usr/bin/env bash
# A system without a Chinese font: a message in Chinese and English names the
# font and the Debian package that brings it, and the launcher carries on with
# the Latin font there is. A system without any font: the message, then the
# launcher ends instead of showing a black window.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/dialogs_lib.sh"

dejavu=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
[ -f "$dejavu" ] || fail "fonts-dejavu-core is not installed"

# A fontconfig setup that knows only the fonts in one folder.
only_fonts() {  # folder
  local conf
  conf=$(e2e_tempdir)/fonts.conf
  printf '<?xml version="1.0"?>\n<!DOCTYPE fontconfig SYSTEM "fonts.dtd">\n<fontconfig><dir>%s</dir><cachedir>%s</cachedir></fontconfig>\n' \
    "$1" "$(e2e_tempdir)" >"$conf"
  echo "$conf"
}

# Starts the launcher with the given fontconfig setup; its first window is a
# message box, so start_launcher's wait for the main window does not apply.
start_with_fonts() {  # conf
  ensure_display
  LUDEXA_DIR=$dir
  rm -f "$dir/.exit"
  (
    cd "$dir"
    code=0
    FONTCONFIG_FILE=$1 LD_PRELOAD="${LUDEXA_PRELOAD:-}" ./ludexa >"$dir/.stdout" 2>"$dir/.stderr" || code=$?
    echo "$code" >"$dir/.exit"
  ) &
  LUDEXA_PID=$!
}

latin=$(e2e_tempdir)
cp "$dejavu" "$latin/"
dir=$(make_portable)

start_with_fonts "$(only_fonts "$latin")"
box=$(wait_window "Missing Chinese font" 60)
wait_drawn "$box"
import -window "$box" "$E2E_TMP/no_chinese.png"
[ -n "${KEEP_E2E:-}" ] && echo "screenshot: $E2E_TMP/no_chinese.png" >&2
key_to "$box" Return
wait_window_gone "Missing Chinese font"
LUDEXA_WINDOW=$(wait_window '^Ludexa ' 60)
xdotool windowmove --sync "$LUDEXA_WINDOW" 0 0
xdotool windowfocus --sync "$LUDEXA_WINDOW" || true
# The toolbar is drawn: the UI carries on with DejaVu Sans.
wait_first_frame
screenshot "$E2E_TMP/latin_only.png"
send_key Escape
assert_eq 0 "$(wait_exit)" "exit code with a Latin font only"

start_with_fonts "$(only_fonts "$(e2e_tempdir)")"
box=$(wait_window "Missing font" 60)
wait_drawn "$box"
import -window "$box" "$E2E_TMP/no_font.png"
key_to "$box" Return
assert_eq 1 "$(wait_exit)" "exit code without any font"
echo PASS
