#!/usr/bin/env bash
# test_install.sh BUILD_DIR PROBE: installs BUILD_DIR into a scratch DESTDIR
# and checks what a desktop and a player would meet there.
set -uo pipefail
build=$1
probe=$2
scratch=$(mktemp -d /tmp/tessum-install-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }

root=$scratch/root
DESTDIR=$root cmake --install "$build" --prefix /usr >"$scratch/install.log" 2>&1 || { cat "$scratch/install.log"; fail "install"; exit 1; }
share=$root/usr/share
id=$(basename "$share"/applications/*.desktop .desktop)

# Only the game itself goes into bin/: no tools, no tests.
[ "$(ls "$root/usr/bin")" = tessum ] && ok "only the game in bin/" || fail "bin/ holds: $(ls "$root/usr/bin")"
for f in game steine mulden hands holz; do
  [ -f "$share/tessum/$f.gfx" ] || fail "missing $f.gfx"
  [ -f "$share/tessum/$f@2x.gfx" ] || fail "missing $f@2x.gfx"
done
[ -f "$share/tessum/hilfe/start.htm" ] || fail "missing help"
for size in 16 32 48 64 128 256; do
  png=$share/icons/hicolor/${size}x${size}/apps/$id.png
  [ "$(identify -format '%wx%h' "$png" 2>/dev/null)" = "${size}x${size}" ] || fail "icon $size"
done
[ -f "$share/icons/hicolor/scalable/apps/$id.svg" ] || fail "scalable icon"
xmllint --noout "$share/icons/hicolor/scalable/apps/$id.svg" || fail "svg is not well-formed"
[ -f "$share/metainfo/$id.metainfo.xml" ] || fail "metainfo named after the id"
[ -f "$share/mime/packages/$id.xml" ] || fail "mime entry named after the id"
grep -q "^Exec=tessum %f$" "$share/applications/$id.desktop" || fail "Exec line"

desktop-file-validate "$share/applications/$id.desktop" && ok desktop-file-validate || fail desktop-file-validate
appstreamcli validate --no-net --pedantic "$share/metainfo/$id.metainfo.xml" >"$scratch/as.log" 2>&1 \
  && ok "appstreamcli validate" || { cat "$scratch/as.log"; fail appstreamcli; }
xmllint --noout "$share/mime/packages/$id.xml" && ok "xmllint mime" || fail xmllint
# The saved-game type is what the desktop entry claims.
mime=$(xmllint --xpath 'string(//*[local-name()="mime-type"]/@type)' "$share/mime/packages/$id.xml")
grep -q "^MimeType=$mime;$" "$share/applications/$id.desktop" || fail "MimeType $mime not in the desktop entry"
xmllint --xpath '//*[local-name()="glob"][@pattern="*.tsm"]' "$share/mime/packages/$id.xml" >/dev/null || fail "no *.tsm glob"
man_warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$share/man/man6/tessum.6.gz" 2>&1 >/dev/null)
[ -z "$man_warnings" ] && ok "man page without warnings" || fail "man: $man_warnings"

# The installed program answers without a display.
"$root/usr/bin/tessum" --version | grep -q "^tessum [0-9]" && ok "--version" || fail "--version"

# The game's code started from the installed bin/, with a scratch home.
home=$scratch/home
mkdir -p "$home"
cp "$probe" "$root/usr/bin/probe"
before=$(ls "$root/usr/bin" "$share/tessum" | sort)
HOME=$home XDG_CONFIG_HOME=$scratch/cfg XDG_DATA_HOME=$scratch/data XDG_RUNTIME_DIR=$scratch \
  "$root/usr/bin/probe" || fail "probe"
grep -q "^language=english" "$scratch/cfg/tessum/settings.ini" && ok "settings in XDG_CONFIG_HOME" || fail "no settings in XDG_CONFIG_HOME"
grep -q "^handani=" "$scratch/cfg/tessum/settings.ini" || fail "closing the window did not write its settings"
[ -f "$scratch/data/tessum/hs2.dat" ] && ok "table in XDG_DATA_HOME" || fail "no table in XDG_DATA_HOME"
[ "$(stat -c %a "$scratch/cfg/tessum")" = 700 ] || fail "settings folder not the user's alone"
[ "$(ls "$root/usr/bin" "$share/tessum" | sort)" = "$before" ] && ok "nothing written beside the program" || fail "files written into the installed tree"
[ -z "$(ls -A "$home")" ] || fail "home touched although XDG folders were given: $(ls -A "$home")"

# Without XDG variables the defaults below HOME hold.
HOME=$home XDG_RUNTIME_DIR=$scratch env -u XDG_CONFIG_HOME -u XDG_DATA_HOME "$root/usr/bin/probe" >/dev/null || fail "probe with defaults"
[ -f "$home/.config/tessum/settings.ini" ] && [ -f "$home/.local/share/tessum/hs2.dat" ] \
  && ok "defaults ~/.config and ~/.local/share" || fail "defaults below HOME"

echo "$((failures == 0 ? 1 : 0)) passed, $((failures == 0 ? 0 : 1)) failed"
exit $((failures == 0 ? 0 : 1))
