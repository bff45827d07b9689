# What the shell tests of pcw share: the program under test as $pcw, a
# scratch folder of their own as the working folder (removed, with any
# process still running, at the end) and fail, which records a failure.
# Sourced with the program's path as $1.
set -uo pipefail
pcw=$(realpath "$1")
scratch=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1
export PARCELWISE_REGISTRY_DIR=$scratch/registry

failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}

# PCW_TEST_LANGUAGE=en runs the same checks with pcw speaking that language
# (pcw only reads the locale's name, which need not be installed here): what
# a script reads of pcw, statuses and --json, never depends on it.
if [ -n "${PCW_TEST_LANGUAGE:-}" ]; then
    printf '#!/bin/sh\nexec env LC_ALL=%s.UTF-8 "%s" "$@"\n' "$PCW_TEST_LANGUAGE" "$pcw" >"$scratch/pcw"
    chmod +x "$scratch/pcw"
    [ "$("$scratch/pcw" --help)" != "$(env LC_ALL=C.UTF-8 "$pcw" --help)" ] ||
        fail "pcw does not speak $PCW_TEST_LANGUAGE"
    pcw=$scratch/pcw
fi
