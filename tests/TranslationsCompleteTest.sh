#!/usr/bin/env bash
# Every message of the build's telvanta.pot is translated, and not fuzzy, in
# each language of po/LINGUAS; a text added to the sources without its
# translations fails here. Usage: TranslationsCompleteTest.sh SOURCE_DIR POT
set -euo pipefail
source_dir=$1
pot=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
while read -r lang; do
  [ -n "$lang" ] || continue
  msgmerge --quiet --no-fuzzy-matching -o "$work/$lang.po" "$source_dir/po/$lang.po" "$pot"
  missing=$(msgattrib --untranslated --no-obsolete "$work/$lang.po"; msgattrib --only-fuzzy --no-obsolete "$work/$lang.po")
  if [ -n "$missing" ]; then
    echo "po/$lang.po lacks translations:"
    echo "$missing" | grep -A3 '^msgid' | grep -v '^msgid ""$' || true
    status=1
  fi
  msgfmt --check -o /dev/null "$work/$lang.po"
done < "$source_dir/po/LINGUAS"
exit $status
