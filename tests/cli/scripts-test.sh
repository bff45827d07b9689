#!/usr/bin/env bash
# pcw as a script sees it: every command's exit status tells its cases apart
# (done, refused or failed, wrong usage, stopped by a signal, a closed pipe),
# stdout holds only the answer, and every --json answer is one JSON object
# that python3 -m json.tool reads, with the keys the manual lists.
# Usage: scripts-test.sh PCW
. "$(dirname "${BASH_SOURCE[0]}")/pcw-script-prelude.sh"

# A name a script must get back whole: quotes, a backslash, accents.
name='q"uo\te é.bin'
head -c $((3 * 1048576)) /dev/urandom >"$name"
head -c 1000 /dev/urandom >small.bin
"$pcw" split "$name" --bytes 1M --md5 2>/dev/null || fail "the set to work on"
mkdir damaged out taken
cp "$name".00?.pcw damaged/
printf 'X' | dd of="damaged/$name.002.pcw" bs=1 seek=10 conv=notrunc 2>/dev/null
cp "$name" "$name.001.pcw" taken/

# status | what stdout holds (empty, text, json) | the command
while IFS='|' read -r status holds command; do
    out=$(eval "\"\$pcw\" $command" 2>/dev/null)
    got=$?
    [ "$got" = "$status" ] || fail "pcw $command: status $got, expected $status"
    case $holds in
        empty) [ -z "$out" ] || fail "pcw $command: stdout [$out]" ;;
        text) [ -n "$out" ] || fail "pcw $command: nothing on stdout" ;;
        json) printf '%s' "$out" | python3 -m json.tool >/dev/null ||
            fail "pcw $command: not JSON: $out" ;;
    esac
done <<'ROWS'
0|text|--help
0|text|--version
2|empty|
2|empty|cut x
2|empty|split small.bin --size 1000
2|empty|split - --count 2 --name x
2|empty|join "$name.001.pcw" -o - --json
1|empty|split small.bin
1|empty|split missing.bin
1|json|split small.bin --json
1|empty|split "$name" --size 1 --folder taken
0|text|info "$name.001.pcw"
0|json|info "$name.001.pcw" --json
0|json|info "damaged/$name.001.pcw" --json
1|empty|info missing.001.pcw
0|text|verify "$name.001.pcw"
0|json|verify "$name.001.pcw" --json
1|text|verify "damaged/$name.001.pcw"
1|json|verify "damaged/$name.001.pcw" --json
1|empty|verify missing.001.pcw --json
1|empty|join "damaged/$name.001.pcw" --folder out
1|json|join "damaged/$name.001.pcw" --folder out --json
1|empty|join "$name.001.pcw" --folder taken
0|json|join "$name.001.pcw" --folder out --json
1|empty|convert "$name.001.pcw"
ROWS

# The answers hold what they say, the name as it was given.
info=$("$pcw" info "$name.001.pcw" --json 2>/dev/null)
python3 - "$info" "$name" <<'PY' || fail "info --json: $info"
import json, sys
a = json.loads(sys.argv[1])
assert list(a) == ["kind", "detectedBy", "name", "size", "parts", "date", "digests",
                   "verdict", "problem"], list(a)
assert a["kind"] == "native" and a["name"] == sys.argv[2] and a["size"] == 3 * 1048576
assert a["parts"] == 3 and a["digests"] is True and a["verdict"] == "whole"
PY
verify=$("$pcw" verify "damaged/$name.001.pcw" --json 2>/dev/null)
python3 - "$verify" <<'PY' || fail "verify --json: $verify"
import json, sys
a = json.loads(sys.argv[1])
assert a["verdict"] == "damaged" and a["digestsChecked"] is True and a["faultyParts"] == 1
states = [(p["number"], p["state"]) for p in a["parts"]]
assert states == [(1, "good"), (2, "damaged"), (3, "good")], states
PY
join=$("$pcw" join "$name.001.pcw" --folder taken --json 2>/dev/null)
python3 - "$join" <<'PY' || fail "join --json refused: $join"
import json, sys
a = json.loads(sys.argv[1])
assert a["command"] == "join" and a["status"] == 1 and a["verdict"] == "refused"
PY

split=$(head -c 2500000 "$name" | "$pcw" split - --bytes 1M --md5 --name json.bin --json 2>/dev/null)
python3 - "$split" "$(pwd -P)/" <<'PY' || fail "split - --json: $split"
import json, sys
a = json.loads(sys.argv[1])
assert (a["status"], a["verdict"], a["leftBehind"]) == (0, "done", []), a
assert a["folder"] == sys.argv[2] and a["name"] == a["storedName"] == "json.bin", a
assert (a["size"], a["partSize"], a["parts"], a["digests"]) == (2500000, 1048576, 3, True), a
assert (a["plain"], a["checksumFile"], a["digest"]) == (False, "", "md5"), a
PY
head -c 2500000 "$name" >plain.bin
split=$("$pcw" split plain.bin --plain --bytes 1M --sha256 --json 2>/dev/null)
python3 - "$split" "$(pwd -P)/" <<'PY' || fail "split --plain --json: $split"
import json, sys
a = json.loads(sys.argv[1])
assert (a["status"], a["verdict"], a["plain"], a["digest"]) == (0, "done", True, "sha256"), a
assert a["name"] == a["storedName"] == "plain.bin" and a["parts"] == 3, a
assert a["checksumFile"] == sys.argv[2] + "plain.bin.sha256", a
PY

# Stopped by a signal: 128 + the signal, told apart from a failure; a reader
# that closes the pipe: 141, as for cat.
for signal in INT TERM HUP; do
    mkfifo feed
    (while head -c 65536 "$name"; do sleep 0.05; done) >feed 2>/dev/null &
    writer=$!
    "$pcw" split - --bytes 200k --name "stop$signal" --json <feed >stop.json 2>/dev/null &
    pid=$!
    for _ in $(seq 100); do [ -e "stop$signal.002.pcw" ] && break; sleep 0.05; done
    kill -"$signal" $pid
    wait $pid
    got=$?
    kill $writer 2>/dev/null
    wait $writer 2>/dev/null
    rm feed
    wanted=$((128 + $(kill -l "$signal")))
    [ "$got" = "$wanted" ] || fail "split - stopped by SIG$signal: status $got, expected $wanted"
    python3 -c 'import json,sys; a = json.load(open(sys.argv[1])); assert a["verdict"] == "cancelled"' \
        stop.json || fail "split - stopped by SIG$signal: $(cat stop.json)"
done
"$pcw" join "$name.001.pcw" -o - 2>/dev/null | head -c 1 >/dev/null
[ "${PIPESTATUS[0]}" = 141 ] || fail "closed pipe: status ${PIPESTATUS[0]}"

exit $failed
