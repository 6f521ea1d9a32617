#!/usr/bin/env bash
# An installed copy (cmake --install, or the package in LUDEXA_DEB) keeps its
# files in ~/.local/share/ludexa, nothing beside itself; its desktop entry and
# AppStream metadata validate.
source "$(dirname "$0")/lib.sh"

root="$(e2e_tempdir)/root"
if [ -n "${LUDEXA_DEB:-}" ]; then
  dpkg-deb -x "$LUDEXA_DEB" "$root"
else
  cmake --install "$(dirname "$LUDEXA_BIN")" --prefix "$root/usr" >/dev/null
fi
bin="$root/usr/bin"
[ -x "$bin/ludexa" ] || fail "no usr/bin/ludexa in the installed copy"
desktop-file-validate "$root/usr/share/applications/io.github.ludexa.Ludexa.desktop" ||
  fail "the desktop entry does not validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/io.github.ludexa.Ludexa.metainfo.xml" >/dev/null ||
  fail "the AppStream metadata does not validate"
for size in 16 24 32 48 64; do
  [ -f "$root/usr/share/icons/hicolor/${size}x$size/apps/io.github.ludexa.Ludexa.png" ] || fail "no $size px icon"
done

export HOME="$(e2e_tempdir)/home 用户"
mkdir -p "$HOME"
unset XDG_DATA_HOME
data="$HOME/.local/share/ludexa"
start_launcher "$bin"
wait_for 30 "no data.db in $data" test -f "$data/data.db"
quit_launcher
[ -f "$data/set.ini" ] || fail "no set.ini in $data"
for f in data.db set.ini media; do
  [ ! -e "$bin/$f" ] || fail "$f was written beside the installed program"
done
echo PASS
