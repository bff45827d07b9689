#!/usr/bin/env bash
# A set split by one system's pcw joins with the other's, both ways, byte for
# byte: pcw (Linux) and pcw.exe (under Wine) read and write the same sets.
# Usage: cross-system.sh LINUX_PCW WINDOWS_PCW_EXE
set -euo pipefail
linux=$1
windows=$2
if [ ! -x "$linux" ]; then
  echo "no Linux pcw at $linux: build it first (make build)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The Windows side sees the same folders through Wine's Z: drive.
win() { wine "$windows" "$@" </dev/null; }
winpath() { winepath -w "$1" 2>/dev/null; }

# A source of 3 Mo and a bit, with the bytes that text-mode reads stop at
# (0x1A) or translate (CR LF), under an accented name.
python3 - "$work/été.bin" <<'P'
import random, sys
random.seed(7)
data = bytearray(random.getrandbits(8) for _ in range(3 * 1048576 + 12345))
data[1000:1004] = b"\x1a\r\n\x1a"
open(sys.argv[1], "wb").write(data)
P

check() {  # check WHAT EXPECTED ACTUAL
  if ! cmp -s "$2" "$3"; then
    echo "FAIL: $1: $3 differs from $2"
    exit 1
  fi
  echo "ok: $1"
}

# Linux splits, Windows joins.
mkdir "$work/a"
"$linux" split "$work/été.bin" --size 1 --md5 --folder "$work/a" >/dev/null
[ -f "$work/a/été.bin.004.pcw" ] || { echo "FAIL: Linux split made no 4th part"; ls "$work/a"; exit 1; }
win verify "$(winpath "$work/a/été.bin.002.pcw")" >/dev/null
win join "$(winpath "$work/a/été.bin.001.pcw")" --name "rebuilt-on-windows.bin" >/dev/null
check "a Linux set joined by pcw.exe" "$work/été.bin" "$work/a/rebuilt-on-windows.bin"

# Windows splits, Linux joins; the parts themselves are the same bytes.
mkdir "$work/b"
win split "$(winpath "$work/été.bin")" --size 1 --md5 --folder "$(winpath "$work/b")" >/dev/null
for n in 001 002 003 004; do
  check "part $n alike on both systems" "$work/a/été.bin.$n.pcw" "$work/b/été.bin.$n.pcw"
done
"$linux" verify "$work/b/été.bin.003.pcw" >/dev/null
"$linux" join "$work/b/été.bin.001.pcw" --name "rebuilt-on-linux.bin" >/dev/null
check "a Windows set joined by pcw" "$work/été.bin" "$work/b/rebuilt-on-linux.bin"

# A Windows user may type the part's name in another case.
win join "$(winpath "$work/b/été.bin.001.PCW")" --name "any-case.bin" >/dev/null
check "a part named in another case on Windows" "$work/été.bin" "$work/b/any-case.bin"

# Recovery parts: the two systems write the same ones (ISA-L on Linux, the
# portable encoder on Windows), and each repairs what the other protected
# into the same bytes.
mkdir "$work/c" "$work/d"
"$linux" split "$work/été.bin" --size 1 --md5 --recovery 2 --folder "$work/c" >/dev/null
win split "$(winpath "$work/été.bin")" --size 1 --md5 --recovery 2 --folder "$(winpath "$work/d")" >/dev/null
for r in R01 R02; do
  check "recovery part $r alike on both systems" "$work/c/été.bin.$r.pcw" "$work/d/été.bin.$r.pcw"
done
rm "$work/c/été.bin.002.pcw" "$work/c/été.bin.R01.pcw"
set +e
win verify "$(winpath "$work/c/été.bin.001.pcw")" >/dev/null
status=$?
set -e
[ "$status" -eq 3 ] || { echo "FAIL: pcw.exe verify of a repairable set exited $status, not 3"; exit 1; }
win repair "$(winpath "$work/c/été.bin.003.pcw")" >/dev/null
check "a part rebuilt by pcw.exe" "$work/a/été.bin.002.pcw" "$work/c/été.bin.002.pcw"
check "a recovery part rebuilt by pcw.exe" "$work/d/été.bin.R01.pcw" "$work/c/été.bin.R01.pcw"
rm "$work/d/été.bin.004.pcw"
"$linux" repair "$work/d/été.bin.001.pcw" >/dev/null
check "a Windows part rebuilt by pcw" "$work/a/été.bin.004.pcw" "$work/d/été.bin.004.pcw"

# A set of more than 256 files is coded over GF(2^16), by the same portable
# code on both systems: the same recovery parts, and a part that one system
# lost rebuilt by the other.
mkdir "$work/e" "$work/f"
"$linux" split "$work/été.bin" --bytes 11000 --recovery 2 --folder "$work/e" >/dev/null
win split "$(winpath "$work/été.bin")" --bytes 11000 --recovery 2 --folder "$(winpath "$work/f")" >/dev/null
for r in R01 R02; do
  check "recovery part $r of a wide set alike on both systems" "$work/e/été.bin.$r.pcw" "$work/f/été.bin.$r.pcw"
done
cp "$work/e/été.bin.150.pcw" "$work/e.150"
rm "$work/f/été.bin.150.pcw" "$work/f/été.bin.R02.pcw"
win repair "$(winpath "$work/f/été.bin.001.pcw")" >/dev/null
check "a part of a wide set rebuilt by pcw.exe" "$work/e.150" "$work/f/été.bin.150.pcw"
check "a recovery part of a wide set rebuilt by pcw.exe" "$work/e/été.bin.R02.pcw" "$work/f/été.bin.R02.pcw"
