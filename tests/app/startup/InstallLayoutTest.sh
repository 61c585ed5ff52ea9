#!/usr/bin/env bash
# `cmake --install` lays out a self-contained program folder, a menu entry,
# its AppStream metainfo, its icons and a launcher that leads to the program.
#   install_layout.sh <build folder>
set -euo pipefail
build=$1
prefix=$(mktemp -d "${TMPDIR:-/tmp}/telvanta-install-XXXXXX")
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" > "$prefix.log" 2>&1 || { cat "$prefix.log" >&2; fail "install"; }
rm -f "$prefix.log"
program_dir=$(sed -n 's/^TELVANTA_INSTALL_PROGRAM_DIR:STRING=//p' "$build/CMakeCache.txt")
folder="$prefix/$program_dir"

[ -x "$folder/telvanta" ] || fail "no program in $folder"
[ -f "$folder/telvanta-web.so" ] || fail "no web module in $folder"
for f in listv2.dll Data/MP.dll Data/RP.dll Data/WB.dll; do
  [ -f "$folder/$f" ] || fail "$f is not beside the program"
done
[ "$(readlink -f "$prefix/bin/telvanta")" = "$(readlink -f "$folder/telvanta")" ] \
  || fail "the launcher does not lead to the program"
case "$(readlink "$prefix/bin/telvanta")" in
  /*) fail "the launcher link is absolute; the folder could not move" ;;
esac
desktop="$prefix/share/applications/org.telvanta.Telvanta.desktop"
[ -f "$desktop" ] || fail "no menu entry"
grep -qx "Exec=\"$prefix/$program_dir/telvanta\"" "$desktop" || fail "menu entry runs something else"
grep -qx "Icon=telvanta" "$desktop" || fail "menu entry without the icon"
if command -v desktop-file-validate > /dev/null; then desktop-file-validate "$desktop"; fi
metainfo="$prefix/share/metainfo/org.telvanta.Telvanta.metainfo.xml"
[ -f "$metainfo" ] || fail "no AppStream metainfo beside the menu entry"
grep -q "<launchable type=\"desktop-id\">$(basename "$desktop")</launchable>" "$metainfo" \
  || fail "the metainfo does not launch the menu entry"
site=$(sed -n 's/^TELVANTA_SITE_URL:STRING=//p' "$build/CMakeCache.txt" | sed 's:/*$::')
grep -q ">$site/screenshot.png</image>" "$metainfo" || fail "the screenshot is not on the maker's site"
for icon in 48x48/apps/telvanta.png 128x128/apps/telvanta.png scalable/apps/telvanta.svg; do
  [ -f "$prefix/share/icons/hicolor/$icon" ] || fail "no icon $icon"
done
echo "installed layout is complete"
