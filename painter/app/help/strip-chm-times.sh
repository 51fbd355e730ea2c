#!/usr/bin/env bash
# Clears the two times chmcmd writes into a help file, so that one set of
# pages always compiles to the same bytes:
#   - the time stamp of the ITSF header (4 bytes at offset 16);
#   - the time entry (code 10, 4 bytes) of the #SYSTEM file.
#   strip-chm-times.sh FILE.chm
# Fails, changing nothing, when the file is not laid out as expected (another
# chmcmd), so that a time never slips through unnoticed.
set -eu
chm=$1
fail() { echo "strip-chm-times: $chm: $*" >&2; exit 1; }

mapfile -t b < <(od -An -v -tu1 -w1 "$chm" | tr -d ' ')
size=${#b[@]}
[ "$size" -ge 96 ] && [ "${b[0]} ${b[1]} ${b[2]} ${b[3]}" = "73 84 83 70" ] || fail "not an ITSF file"
[ "${b[4]}" = 3 ] || fail "ITSF version ${b[4]}, expected 3"

u32() { echo $(( b[$1] | b[$1+1] << 8 | b[$1+2] << 16 | b[$1+3] << 24 )); }
u16() { echo $(( b[$1] | b[$1+1] << 8 )); }
# A variable-length number of the directory (7 bits a byte, high bit: more
# follows); sets encint and pos past it.
read_encint() {
    encint=0
    while :; do
        [ "$pos" -lt "$size" ] || fail "directory entry runs past the end"
        local v=${b[$pos]}
        pos=$((pos + 1))
        encint=$(( (encint << 7) | (v & 127) ))
        [ "$v" -ge 128 ] || break
    done
}

directory=$(u32 72)        # header section 1: the directory
content=$(u32 88)          # content section 0
[ "$directory" -lt "$size" ] && [ "$content" -lt "$size" ] || fail "section offsets past the end"

# The directory entry of #SYSTEM: its name's length (8), its name
# "/#SYSTEM", then its section, offset and length.
system=
for i in $(LC_ALL=C grep -obUaP '\x08/#SYSTEM' "$chm" | cut -d: -f1); do
    [ "$i" -gt "$directory" ] || continue
    pos=$((i + 9))
    read_encint; section=$encint
    read_encint; offset=$encint
    read_encint; length=$encint
    [ "$section" = 0 ] || fail "#SYSTEM is not in the uncompressed section"
    system=$((content + offset))
    break
done
[ -n "$system" ] || fail "no #SYSTEM entry in the directory"
[ $((system + length)) -le "$size" ] || fail "#SYSTEM runs past the end"

# #SYSTEM: a version, then entries of a 2-byte code, a 2-byte length, data.
time_at=
p=$((system + 4))
end=$((system + length))
while [ $((p + 4)) -le "$end" ]; do
    code=$(u16 "$p")
    len=$(u16 $((p + 2)))
    if [ "$code" = 10 ]; then
        [ "$len" = 4 ] || fail "#SYSTEM time entry of $len bytes"
        time_at=$((p + 4))
        break
    fi
    p=$((p + 4 + len))
done
[ -n "$time_at" ] || fail "no time entry in #SYSTEM"

for at in 16 "$time_at"; do
    printf '\0\0\0\0' | dd of="$chm" bs=1 seek="$at" conv=notrunc status=none
done
