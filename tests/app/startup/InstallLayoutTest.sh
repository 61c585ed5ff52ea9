#!/usr/bin/env bash
# The install lays its files out as a distribution does: the program in bin/,
# its module in lib/telvanta/, what it only reads in share/telvanta/; and
# what the desktop knows it by: a valid menu entry that opens the stream
# addresses and playlists the program plays but claims no web page, icons
# named after the application id, valid AppStream metainfo, and a manual
# page that names every option.
#   InstallLayoutTest.sh <cmake build folder>
set -euo pipefail
build=$1
source "$(dirname "$0")/InstallProgram.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/telvanta-install-XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

prefix=$(install_program "$work/root" "$build") || fail "could not install"
app_id=org.telvanta.Telvanta

[ -f "$prefix/bin/telvanta" ] && [ -x "$prefix/bin/telvanta" ] && [ ! -L "$prefix/bin/telvanta" ] \
  || fail "bin/telvanta is not the program"
[ -f "$prefix/lib/telvanta/telvanta-web.so" ] || fail "no web module in lib/telvanta"
for f in listv2.dll Data/MP.dll Data/RP.dll Data/WB.dll Help.chm Skins/vista.theme licences; do
  [ -e "$prefix/share/telvanta/$f" ] || fail "$f is not in share/telvanta"
done
for lang in de fr; do
  [ -f "$prefix/share/locale/$lang/LC_MESSAGES/telvanta.mo" ] || fail "no $lang catalogue in share/locale"
  grep -q "^Comment\[$lang\]=" "$prefix/share/applications/$app_id.desktop" \
    || fail "the menu entry has no $lang comment"
done
elf=$(find "$prefix/share" -type f -exec sh -c 'head -c 4 "$1" | grep -q "ELF"' _ {} \; -print)
[ -z "$elf" ] || fail "machine code in share/: $elf"

desktop="$prefix/share/applications/$app_id.desktop"
[ -f "$desktop" ] || fail "no menu entry"
desktop-file-validate "$desktop" || fail "the menu entry is not valid"
grep -qx "Exec=telvanta %U" "$desktop" || fail "the menu entry does not hand addresses to telvanta"
grep -qx "Icon=$app_id" "$desktop" || fail "the menu entry's icon is not the application id"
types=";$(sed -n 's/^MimeType=//p' "$desktop")"
for type in audio/x-mpegurl audio/mpegurl application/vnd.apple.mpegurl audio/x-scpls \
  application/xspf+xml video/x-ms-asf x-scheme-handler/mms x-scheme-handler/mmsh \
  x-scheme-handler/rtsp; do
  case "$types" in *";$type;"*) ;; *) fail "the menu entry does not open $type" ;; esac
done
for type in x-scheme-handler/http x-scheme-handler/https text/html application/xhtml+xml; do
  case "$types" in *";$type;"*) fail "the menu entry claims $type" ;; esac
done

metainfo="$prefix/share/metainfo/$app_id.metainfo.xml"
[ -f "$metainfo" ] || fail "no AppStream metainfo"
appstreamcli validate --no-net --pedantic "$metainfo" || fail "the metainfo is not valid"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" \
  || fail "the metainfo does not launch the menu entry"

for size in 48 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
  [ "$(identify -format '%wx%h' "$icon" 2>/dev/null)" = "${size}x${size}" ] \
    || fail "no ${size}x${size} icon $icon"
done
[ -f "$prefix/share/icons/hicolor/scalable/apps/$app_id.svg" ] || fail "no scalable icon"

page=$(find "$prefix/share/man/man1" -name 'telvanta.1*' | head -n 1)
[ -n "$page" ] || fail "no manual page"
text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 "$page" 2> "$work/man.log" \
  | col -b)
[ ! -s "$work/man.log" ] || fail "the manual page has faults: $(cat "$work/man.log")"
for option in --reset-skin --help --version; do
  grep -q -- "$option" <<< "$text" || fail "the manual page does not tell $option"
done
echo "installed layout is complete"
