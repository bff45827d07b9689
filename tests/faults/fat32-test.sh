#!/usr/bin/env bash
# A FAT32 stick as a recipient brings it: a real vfat image, loop-mounted,
# takes the parts of a 5 GiB file cut with --preset fat32, and refuses a part
# past its 4294967295 bytes, naming that limit. Needs root for the mount;
# skipped (77) with the reason otherwise.
# Usage: fat32-test.sh PCW
set -uo pipefail
pcw=$(realpath "$1")
skip() {
    echo "SKIP: $*"
    exit 77
}
[ "$(id -u)" = 0 ] || skip "mounting a vfat image needs root"
command -v mkfs.vfat >/dev/null || skip "mkfs.vfat is missing (dosfstools, from scripts/install-deps)"
scratch=$(mktemp -d)
stick=$scratch/stick
cleanup() {
    mountpoint -q "$stick" && umount "$stick"
    rm -rf "$scratch"
}
trap cleanup EXIT
cd "$scratch" || exit 1
export PARCELWISE_REGISTRY_DIR=$scratch/registry
# The image holds the 5 GiB that vfat writes out (it has no sparse files).
(($(df -k --output=avail . | tail -1) > 6 * 1048576)) || skip "less than 6 GiB free under $scratch"
truncate -s 5400M stick.img && mkfs.vfat -F 32 stick.img >/dev/null || skip "mkfs.vfat failed"
mkdir "$stick"
why=$(mount -o loop stick.img "$stick" 2>&1) || skip "the loop mount of a vfat image is refused: ${why%%$'\n'*}"

failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}
truncate -s 5G big.bin
out=$("$pcw" split big.bin --plain --bytes 4294967296 --folder "$stick" 2>&1) &&
    fail "a part of 4 GiB on FAT32 was taken"
case $out in *4294967295*) ;; *) fail "the refusal does not name FAT32's limit: $out" ;; esac
"$pcw" split big.bin --plain --preset fat32 --folder "$stick" 2>/dev/null || fail "--preset fat32"
[ "$(stat -c %s "$stick/big.bin.001")" = 4294967295 ] || fail "part 1 is not 4294967295 bytes"
[ "$(stat -c %s "$stick/big.bin.002")" = 1073741825 ] || fail "part 2 does not hold the rest"
cat "$stick"/big.bin.00[12] | cmp -s - big.bin || fail "the parts do not rebuild the file"
exit $failed
