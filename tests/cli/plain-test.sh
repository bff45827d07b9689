#!/usr/bin/env bash
# Plain sets as their recipient sees them, without this program: the parts
# rebuilt by cat and by 7-Zip, the checksum files read by md5sum -c and
# sha256sum -c, and by pcw join; the refusals of what a plain set cannot be.
# Usage: plain-test.sh PCW
. "$(dirname "${BASH_SOURCE[0]}")/pcw-script-prelude.sh"

# A source whose size is no multiple of the part size, and a name with a
# blank and a backslash, which the checksum file escapes.
head -c $((5 * 1048576 + 12345)) /dev/urandom >'a b\c.bin'
src='a b\c.bin'

# digest option | checker | part size option | parts
while IFS='|' read -r digest checker size parts; do
    dir=$scratch/${digest#--}${size//[ -]/}
    mkdir -p "$dir/rebuilt"
    "$pcw" split "$src" --plain $digest $size --folder "$dir" 2>/dev/null ||
        fail "split --plain $digest $size"
    n=$(ls "$dir" | grep -c '\.[0-9]\{3\}$')
    [ "$n" = "$parts" ] || fail "$digest $size: $n parts, expected $parts"
    # Nothing but the data: the parts add up to the source.
    cat "$dir/$src".[0-9][0-9][0-9] | cmp -s - "$src" || fail "$digest $size: cat differs"
    (cd "$dir" && 7z x -o"rebuilt" "$src.001" >/dev/null 2>&1) || fail "$digest $size: 7z x"
    cmp -s "$dir/rebuilt/$src" "$src" || fail "$digest $size: 7z's file differs"
    [ -z "$checker" ] && continue
    sums="$dir/$src.${digest#--}"
    (cd "$dir" && $checker -c --quiet --ignore-missing "$(basename "$sums")") ||
        fail "$checker -c of the parts"
    cp "$sums" "$dir/rebuilt/" && cp "$dir/$src".[0-9][0-9][0-9] "$dir/rebuilt/"
    (cd "$dir/rebuilt" && $checker -c --quiet "$(basename "$sums")") ||
        fail "$checker -c of the parts and the whole file"
    [ "$(wc -l <"$sums")" = $((parts + 1)) ] || fail "$sums: a line per part and one more"
    rm -f "$dir/rebuilt/$src"
    "$pcw" join "$dir/rebuilt/$src.001" 2>/dev/null || fail "pcw join of $digest $size"
    cmp -s "$dir/rebuilt/$src" "$src" || fail "pcw join of $digest $size differs"
done <<'ROWS'
--sha256|sha256sum|--bytes 1M|6
--md5|md5sum|--count 3|3
||--size 2|3
--sha256|sha256sum|--bytes 5242881|2
ROWS

# verify and join read the checksum file beside the set, and name the part
# that differs from it.
dir=$scratch/sha256bytes1M
"$pcw" verify "$dir/$src.001" >said 2>&1 || fail "verify of a whole plain set: $(cat said)"
grep -q "tous intacts" said || fail "verify did not check the digests: $(cat said)"
cp -r "$dir" damaged
printf 'X' | dd of="damaged/$src.004" bs=1 seek=100 conv=notrunc 2>/dev/null
"$pcw" verify "damaged/$src.001" >said 2>&1 && fail "verify of a damaged plain set passed"
grep "n°4" said | grep -qF "somme ne correspond pas à celle de $src.sha256" ||
    fail "verify did not name part 4: $(cat said)"
mkdir joined
"$pcw" join "damaged/$src.001" --folder joined 2>/dev/null && fail "join of a damaged plain set"
[ -z "$(ls joined)" ] || fail "the refused join wrote $(ls joined)"
"$pcw" join "damaged/$src.001" --folder joined --no-verify 2>/dev/null || fail "join --no-verify"

# Parts each right by their lines that do not make the file the checksum
# file names: join refuses before writing anything, and verify says why.
# how the set is forged (in the folder forged, with sums its checksum file)
while read -r forge; do
    rm -rf forged joined && cp -r "$dir" forged && mkdir joined
    sums="$src.sha256"
    (cd forged && eval "$forge") || fail "forging: $forge"
    "$pcw" join "forged/$src.001" --folder joined >/dev/null 2>said && fail "join passed: $forge"
    grep -qF "ne serait pas < $src >" said || fail "join of [$forge] said: $(cat said)"
    [ -z "$(ls -A joined)" ] || fail "the refused join of [$forge] left $(ls -A joined)"
    "$pcw" verify "forged/$src.001" >said 2>&1 && fail "verify passed: $forge"
    grep -qF "assemblage ne correspond pas" said || fail "verify of [$forge] said: $(cat said)"
done <<'ROWS'
sed -i "\$ s/[0-9a-f]\{64\}/$(echo other | sha256sum | cut -c1-64)/" "$sums"
cp "$src.002" swap && cp "$src.003" "$src.002" && mv swap "$src.003" && tail -n 1 "$sums" >whole && sha256sum "$src".00? | cat - whole >"$sums" && rm whole
ROWS

# A part size of any width: above a native set's 31 bits on a sparse file.
truncate -s 2147483650 big.bin
"$pcw" split big.bin --plain --bytes 2147483649 2>/dev/null || fail "a part of 2 GiB and 1 byte"
[ "$(stat -c %s big.bin.001)" = 2147483649 ] || fail "big.bin.001 holds 2 GiB and 1 byte"
[ "$(stat -c %s big.bin.002)" = 1 ] || fail "big.bin.002 holds the rest"
rm -f big.bin big.bin.00?

# Refusals: status | what the message must say | the arguments
while IFS='|' read -r status says args; do
    out=$(eval "\"\$pcw\" split $args" 2>&1)
    got=$?
    [ "$got" = "$status" ] || fail "split $args: status $got, expected $status"
    case $out in *"$says"*) ;; *) fail "split $args: [$out] lacks [$says]" ;; esac
done <<'ROWS'
2|une seule des options --md5 et --sha256|"$src" --plain --md5 --sha256
2|--sha256 ne se donne qu'avec --plain|"$src" --sha256
2|--store-name ne se donne pas avec --plain|"$src" --plain --store-name x
2|--recovery ne se donne pas avec --plain|"$src" --plain --recovery 2
2|pas l'entrée standard|- --plain --name x
2|ajoutez --plain|"$src" --preset fat32
2|formats : fat32, cd, dvd, dvd-dl, bd, mail-25, mail-10|"$src" --preset floppy
2|une seule des options|"$src" --plain --preset cd --bytes 1M
1|supérieure à la taille originale|"$src" --plain --preset cd
1|999 au plus|"$src" --plain --bytes 4k
1|100000 au plus|"$src" --bytes 1
1|supérieure à la taille originale|"$src" --size 6
1|supérieure à la taille originale|"$src" --plain --size 6
1|égale à la taille du fichier|"$src" --bytes 5255225
1|égale à la taille du fichier|"$src" --plain --bytes 5255225
1|égale à la taille du fichier|"$src" --count 1
1|égale à la taille du fichier|"$src" --plain --count 1
1|existe déjà|"$src" --plain --bytes 1M --sha256 --folder sha256bytes1M
ROWS
# The refused split of a taken folder left what was there alone.
[ "$(find sha256bytes1M -maxdepth 1 -type f | wc -l)" = 7 ] || fail "a refusal touched the set"

# The mail presets: native sets take them too.
head -c $((20 * 1000000)) /dev/urandom >mail.bin
"$pcw" split mail.bin --preset mail-10 2>/dev/null || fail "split --preset mail-10"
[ "$(stat -c %s mail.bin.002.pcw)" = 7000000 ] || fail "a native part of mail-10"

exit $failed
