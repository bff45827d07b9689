#!/usr/bin/env bash
# pcw at both ends of real pipes: split - reads what cat, tar or a slow or
# dying writer gives; join -o - feeds md5sum, tar, a reader that leaves early.
# Ctrl-C, a stream too short for a set and a part changed under a join each
# end with their own status, and nothing on stdout but data.
# Usage: pipes-test.sh PCW
. "$(dirname "${BASH_SOURCE[0]}")/pcw-script-prelude.sh"
# expect WHAT WANTED GOT
expect() { [ "$2" = "$3" ] || fail "$1: got [$3], expected [$2]"; }
parts() { find . -maxdepth 1 -name "$1.[0-9]*.pcw" -printf '%f\n' | sort | tr '\n' ' '; }
md5() { md5sum | cut -d' ' -f1; }

head -c $((5 * 1048576 + 12345)) /dev/urandom >source.bin
wanted=$(md5 <source.bin)

# Round trips through cat and md5sum; stdout carries the data alone.
cat source.bin | "$pcw" split - --bytes 1M --md5 --name cut.bin >split.out 2>split.err
expect "split - status" 0 $?
expect "split - stdout" "" "$(cat split.out)"
expect "split - parts" "cut.bin.001.pcw cut.bin.002.pcw cut.bin.003.pcw cut.bin.004.pcw \
cut.bin.005.pcw cut.bin.006.pcw " "$(parts cut.bin)"
"$pcw" verify cut.bin.001.pcw >/dev/null
expect "verify of a stream's set" 0 $?
expect "join -o - | md5sum" "$wanted" "$("$pcw" join cut.bin.001.pcw -o - 2>join.err | md5)"
expect "join -o - messages" "-=Parcelwise=-: Le fichier a été recoller avec succès !" \
    "$(cat join.err)"
expect "join -o - leaves no file" "cut.bin.001.pcw cut.bin.002.pcw cut.bin.003.pcw \
cut.bin.004.pcw cut.bin.005.pcw cut.bin.006.pcw " "$(parts cut.bin)"
# A stream that ends on a part's end makes no empty part after it.
head -c $((3 * 1048576)) source.bin | "$pcw" split - --bytes 1M --name even 2>/dev/null
expect "even stream" "even.001.pcw even.002.pcw even.003.pcw " "$(parts even)"
expect "even stream's data" "$(head -c $((3 * 1048576)) source.bin | md5)" \
    "$("$pcw" join even.001.pcw --output - 2>/dev/null | md5)"

# tar at both ends.
mkdir -p tree/sub out
cp source.bin tree/sub/a.bin
printf 'été\n' >tree/b.txt
tar c tree | "$pcw" split - --size 1 --name tree.tar 2>/dev/null
expect "tar | split -" 0 $?
"$pcw" join tree.tar.001.pcw -o - 2>/dev/null | tar x -C out
expect "join -o - | tar x" "0 0" "${PIPESTATUS[*]}"
diff -r tree out/tree >/dev/null || fail "tar round trip differs"

# A slow writer is waited for; a writer that dies only ends the stream, which
# pcw cannot tell from its end: the set holds what came.
for i in $(seq 0 19); do
    tail -c +$((i * 65536 + 1)) source.bin | head -c 65536
    sleep 0.02
done | "$pcw" split - --bytes 300k --name slow 2>/dev/null
expect "slow writer" "$(head -c $((20 * 65536)) source.bin | md5)" \
    "$("$pcw" join slow.001.pcw -o - 2>/dev/null | md5)"
{ (head -c $((2 * 1048576)) source.bin; kill -9 $BASHPID) | "$pcw" split - --bytes 1M --name died; } 2>/dev/null
expect "dead writer: the set of what came" "died.001.pcw died.002.pcw " "$(parts died)"
{ (head -c 1000 source.bin; kill -9 $BASHPID) | "$pcw" split - --bytes 1M --name died2; } 2>/dev/null
expect "dead writer before 1 Mo: status" 1 $?
expect "dead writer before 1 Mo: no part" "" "$(parts died2)"

# Streams too short for a set are refused once they ended, leaving nothing.
head -c 1048576 source.bin | "$pcw" split - --bytes 100k --name mo 2>mo.err
expect "a stream of exactly 1 Mo" 1 $?
expect "1 Mo: no part" "" "$(parts mo)"
grep -q "1048576 octets, pas plus de 1 Mo" mo.err || fail "1 Mo: $(cat mo.err)"
"$pcw" split - --bytes 100k --name zero </dev/null 2>/dev/null
expect "a stream of 0 bytes" 1 $?
expect "0 bytes: no part" "" "$(parts zero)"
head -c 2000000 source.bin | "$pcw" split - --size 2 --name one 2>/dev/null
expect "a stream that fits one part" "1 " "$? $(parts one)"

# Wrong usage: a count needs the size first, the parts need a name.
while IFS='|' read -r args why; do
    # shellcheck disable=SC2086
    "$pcw" split - $args <source.bin >usage.out 2>usage.err
    expect "split - $args" "2 " "$? $(cat usage.out)"
    grep -q -- "$why" usage.err || fail "split - $args: $(head -1 usage.err)"
done <<'ROWS'
--count 3 --name c|pas --count
--size 1|demande --name
ROWS
expect "usage: no part" "" "$(parts c)"

# A reader that closes early: quiet, with cat's status.
"$pcw" join cut.bin.001.pcw -o - 2>early.err | head -c 100 >/dev/null
expect "closed pipe status" 141 "${PIPESTATUS[0]}"
expect "closed pipe messages" "" "$(cat early.err)"
cat source.bin | head -c 100 >/dev/null
expect "cat's own status there" 141 "${PIPESTATUS[0]}"

# A damaged set with digests is refused before a byte goes out.
cp cut.bin.003.pcw saved.pcw
printf 'X' | dd of=cut.bin.003.pcw bs=1 seek=5000 conv=notrunc 2>/dev/null
bytes=$("$pcw" join cut.bin.001.pcw -o - 2>damaged.err | wc -c)
expect "damaged set: status and bytes out" "1 0" "${PIPESTATUS[0]} $bytes"
grep -q "3" damaged.err || fail "damaged set: $(cat damaged.err)"
mv saved.pcw cut.bin.003.pcw

# A part that changes once the copy has started: status 1 and a message.
{
    "$pcw" join cut.bin.001.pcw -o - --no-verify 2>changed.err
    echo $? >changed.status
} | {
    sleep 0.5
    printf 'more' >>cut.bin.005.pcw
    cat >/dev/null
}
expect "changed part status" 1 "$(cat changed.status)"
[ -s changed.err ] || fail "changed part: no message"
truncate -s -4 cut.bin.005.pcw

# Ctrl-C in split - and in join -o -: status 130, nothing left, stdout clean.
mkfifo feed
(for i in $(seq 0 200); do head -c 65536 source.bin; sleep 0.02; done) >feed &
"$pcw" split - --bytes 200k --name int <feed >int.out 2>int.err &
pid=$!
for _ in $(seq 100); do [ -e int.002.pcw ] && break; sleep 0.05; done
kill -INT $pid
wait $pid
expect "Ctrl-C in split -" 130 $?
expect "Ctrl-C in split -: parts" "" "$(parts int)"
grep -q "Opération annulée" int.err || fail "Ctrl-C in split -: $(cat int.err)"
mkfifo drain
"$pcw" join cut.bin.001.pcw -o - >drain 2>intj.err &
pid=$!
(while head -c 4096 >/dev/null; do sleep 0.05; done) <drain &
sleep 0.3
kill -INT $pid
wait $pid
expect "Ctrl-C in join -o -" 130 $?
grep -q "Opération annulée" intj.err || fail "Ctrl-C in join -o -: $(cat intj.err)"
expect "Ctrl-C in join -o -: no file" "" "$(find . -name '*.incomplet')"

exit $failed
