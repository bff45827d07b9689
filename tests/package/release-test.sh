#!/usr/bin/env bash
# One release wherever the package tells it: the changelog's latest entry has
# the project's version, the metainfo's release the same version and day, and
# the man pages the same version, month and year, the month in the page's
# language (the name of its folder). The copyright and the metainfo carry the
# year.
# Usage: release-test.sh VERSION CHANGELOG METAINFO COPYRIGHT MAN_PAGE...
set -euo pipefail
version=$1 changelog=$2 metainfo=$3 copyright=$4
shift 4

failed=0
fail() { echo "$*" >&2; failed=1; }

[ "$(dpkg-parsechangelog -l "$changelog" -S Version)" = "$version" ] ||
    fail "$changelog: version $(dpkg-parsechangelog -l "$changelog" -S Version), not $version"
timestamp=$(dpkg-parsechangelog -l "$changelog" -S Timestamp)
day=$(date -u -d "@$timestamp" +%F)
year=${day%%-*}
month_number=$((10#$(date -u -d "@$timestamp" +%m) - 1))
declare -A months=(
    [fr]="janvier février mars avril mai juin juillet août septembre octobre novembre décembre"
    [en]="January February March April May June July August September October November December"
)

release=$(xmllint --xpath 'string(//releases/release[1]/@version)' "$metainfo")
released=$(xmllint --xpath 'string(//releases/release[1]/@date)' "$metainfo")
[ "$release" = "$version" ] || fail "$metainfo: release $release, not $version"
[ "$released" = "$day" ] || fail "$metainfo: released $released, the changelog says $day"
grep -q "Copyright $year " "$metainfo" || fail "$metainfo: no copyright of $year"
[ "$(grep -c "^Copyright: $year " "$copyright")" -eq "$(grep -c '^Files:' "$copyright")" ] ||
    fail "$copyright: a Files paragraph without a copyright of $year"
for page in "$@"; do
    language=$(basename "$(dirname "$page")")
    [ -n "${months[$language]:-}" ] || { fail "$page: no month names for the language $language"; continue; }
    read -r -a names <<<"${months[$language]}"
    month=${names[$month_number]}
    th=$(grep -m1 '^\.TH' "$page")
    [[ $th == *"\"$month $year\" \"Parcelwise $version\""* ]] ||
        fail "$page: $th, expected \"$month $year\" \"Parcelwise $version\""
done
exit $failed
