#!/usr/bin/env bash
# What the desktop shows of the program in each language, read as the desktop
# reads it: a key's or an element's form for the reader's language, else the
# untranslated one, which is English. A French reader sees the French texts
# that the entry has always had, and every English text has its French beside
# it, and the reverse.
# Usage: languages-test.sh DESKTOP_ENTRY MIME_PACKAGE METAINFO
set -euo pipefail
entry=$1 mime=$2 metainfo=$3
failed=0
fail() { echo "$*" >&2; failed=1; }

# A key of the entry as a desktop in the language reads it.
read_key() {
    local key=$1 language=$2 value
    value=$(sed -n "s/^$key\[$language\]=//p" "$entry")
    [ -n "$value" ] || value=$(sed -n "s/^$key=//p" "$entry")
    printf '%s' "$value"
}

# language|key|what the reader sees
rows=(
    "fr|Name|Parcelwise"
    "fr|GenericName|Découpeur de fichiers"
    "fr|Comment|Couper et recoller des fichiers"
    "fr|Keywords|couper;découper;recoller;joindre;morceaux;fichier;MD5;split;join;"
    "de|Name|Parcelwise"
    "de|GenericName|File Splitter"
    "de|Comment|Split files and join them back"
    "de|Keywords|split;cut;join;merge;parts;file;MD5;"
)
for row in "${rows[@]}"; do
    IFS='|' read -r language key wanted <<<"$row"
    got=$(read_key "$key" "$language")
    [ "$got" = "$wanted" ] || fail "$entry: $key for $language is [$got], not [$wanted]"
done
# A translated key without its untranslated form leaves every other language without it.
while read -r key; do
    grep -q "^$key=" "$entry" || fail "$entry: $key[fr] without $key"
done < <(sed -n 's/^\([A-Za-z]*\)\[fr\]=.*/\1/p' "$entry")

# Each translatable element: as many in French as untranslated ones, none empty.
count() { xmllint --xpath "count($2)" "$1"; }
for pair in "$mime|//*[local-name()='comment']" "$metainfo|//summary" "$metainfo|//description/p"; do
    file=${pair%%|*} element=${pair#*|}
    english=$(count "$file" "$element[not(@xml:lang)]")
    french=$(count "$file" "$element[@xml:lang='fr']")
    [ "$english" -gt 0 ] && [ "$english" = "$french" ] ||
        fail "$file: $english untranslated $element, $french in French"
    [ "$(count "$file" "$element[normalize-space()='']")" = 0 ] || fail "$file: an empty $element"
done
exit $failed
