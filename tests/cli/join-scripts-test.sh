#!/usr/bin/env bash
# The join scripts beside a plain set, run as a recipient runs them: the
# shell script under dash (the POSIX shell of Debian), the command script
# under Wine's cmd when Wine runs here. Each rebuilds the file, refuses to
# write over it, and the shell script refuses a damaged part.
# Usage: join-scripts-test.sh PCW
. "$(dirname "${BASH_SOURCE[0]}")/pcw-script-prelude.sh"

# A quote and a blank, which both scripts must carry through.
src="it's a file.bin"
head -c $((3 * 1048576 + 777)) /dev/urandom >"$src"
"$pcw" split "$src" --plain --bytes 1M --sha256 --scripts --folder . 2>/dev/null || fail "split --scripts"
"$pcw" split "$src" --plain --bytes 1M --scripts --name other 2>/dev/null &&
    fail "--scripts without a digest"
mkdir sh cmd
cp "$src".0* "$src.sha256" "$src.join.sh" sh/
cp "$src".0* "$src.join.cmd" cmd/

if ! command -v dash >/dev/null; then
    fail "dash is missing (scripts/install-deps installs it)"
else
    (cd sh && dash "./$src.join.sh" >said 2>&1) || fail "dash $src.join.sh: $(cat sh/said)"
    cmp -s "sh/$src" "$src" || fail "the shell script's file differs"
    grep -q "sha256sum" sh/said || fail "the shell script did not say it checks: $(cat sh/said)"
    (cd sh && dash "./$src.join.sh" >said 2>&1) && fail "the shell script wrote over its file"
    grep -q "existe déjà" sh/said || fail "the shell script did not say why: $(cat sh/said)"
    rm "sh/$src"
    printf 'X' | dd of="sh/$src.002" bs=1 seek=9 conv=notrunc 2>/dev/null
    (cd sh && dash "./$src.join.sh" >said 2>&1) && fail "the shell script joined a damaged part"
    [ ! -e "sh/$src" ] || fail "the shell script left a file from a damaged set"
    grep -qF "$src.002" sh/said || fail "the shell script did not name the part: $(cat sh/said)"
fi

# Wine's cmd runs copy /b; its certutil gives no digest, so the script says
# that it cannot check and joins.
if ! command -v wine >/dev/null || ! timeout 120 wine cmd /c "echo ok" 2>/dev/null | grep -q ok; then
    echo "SKIP: Wine's cmd does not run here"
else
    (cd cmd && timeout 120 wine cmd /c "$src.join.cmd" >/dev/null 2>&1) || fail "wine cmd $src.join.cmd"
    cmp -s "cmd/$src" "$src" || fail "the command script's file differs"
    (cd cmd && timeout 120 wine cmd /c "$src.join.cmd" >/dev/null 2>&1) &&
        fail "the command script wrote over its file"
    cmp -s "cmd/$src" "$src" || fail "the command script changed the file it refused"
fi
exit $failed
