#!/usr/bin/env bash
# A system without a Chinese font: a message in Chinese and English names the
# font and the Debian package that brings it, and the launcher carries on with
# the Latin font there is. A system without any font: the message, then the
# launcher ends instead of showing a black window.
source "$(dirname "$0")/lib.sh"

dejavu=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
[ -f "$dejavu" ] || fail "fonts-dejavu-core is not installed"

# A fontconfig setup that knows only the fonts in one folder. The launcher's
# first window is then a message box, not the main window.
only_fonts() {  # folder
  local conf
  conf=$(e2e_tempdir)/fonts.conf
  printf '<?xml version="1.0"?>\n<!DOCTYPE fontconfig SYSTEM "fonts.dtd">\n<fontconfig><dir>%s</dir><cachedir>%s</cachedir></fontconfig>\n' \
    "$1" "$(e2e_tempdir)" >"$conf"
  echo "$conf"
}

latin=$(e2e_tempdir)
cp "$dejavu" "$latin/"
dir=$(make_portable)

FONTCONFIG_FILE=$(only_fonts "$latin") launch_in_background "$dir"
answer_window "Missing Chinese font" Return 60
take_launcher_window  # the toolbar is drawn: the UI carries on with DejaVu Sans
quit_launcher "exit code with a Latin font only"

FONTCONFIG_FILE=$(only_fonts "$(e2e_tempdir)") launch_in_background "$dir"
answer_window "Missing font" Return 60
assert_eq 1 "$(wait_exit)" "exit code without any font"
echo PASS
