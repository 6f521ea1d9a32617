#!/usr/bin/env bash
# An installed copy: the program in <prefix>/bin beside its package's files
# keeps data.db and set.ini in $XDG_DATA_HOME/ludexa (~/.local/share/ludexa by
# default), created on the first start, and nothing beside itself. Its
# desktop entry and AppStream metadata validate. The copy is the build's own
# install (cmake --install), or with LUDEXA_DEB the built package unpacked as
# dpkg would (scripts/package runs it so).
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
send_key Escape
assert_eq 0 "$(wait_exit)" "exit code"
[ -f "$data/set.ini" ] || fail "no set.ini in $data"
for f in data.db set.ini media; do
  [ ! -e "$bin/$f" ] || fail "$f was written beside the installed program"
done
echo PASS
