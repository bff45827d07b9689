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
