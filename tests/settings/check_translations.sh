#!/usr/bin/env bash
# Every text of the program is in the English translation, translated: lupdate reads src/ into
# a copy of translations/zerlivan_en.ts, where a text it has not seen before comes in unfinished
# and a text the sources no longer have is marked vanished.
#   check_translations.sh <lupdate> <source directory>
set -euo pipefail
lupdate=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

ts=$work/zerlivan_en.ts
cp "$source/translations/zerlivan_en.ts" "$ts"
"$lupdate" -silent -locations none "$source/src" -ts "$ts"
if grep -nE -B2 'type="(unfinished|vanished|obsolete)"|<translation></translation>' "$ts"; then
    echo "FAIL: translations/zerlivan_en.ts lacks the texts above or holds ones the program no" \
        "longer has (cmake --build build --target update_translations, then translate them)" >&2
    exit 1
fi
