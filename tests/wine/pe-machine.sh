#!/usr/bin/env bash
# Every Windows program and library the build makes must be a 32-bit (i386)
# PE file: the programs rely on the 32-bit registry view and system folder.
# Wine's own files in a prefix that a test keeps in the tree (its drive_c) are
# not the build's.
#   pe-machine.sh BUILD-DIR NAME...   (NAME: programs that must be among them)
set -u
[ $# -ge 1 ] || { echo "usage: pe-machine.sh BUILD-DIR NAME..." >&2; exit 2; }
dir=$1; shift
status=0 count=0
# The machine field: a 16-bit number after "PE\0\0", whose place the 32-bit
# number at 0x3C gives.
machine() {
    local pe
    pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
    [ "$(od -An -c -j"$pe" -N4 "$1" | tr -d ' ')" = 'PE\0\0' ] || { echo none; return; }
    od -An -tx2 -j$((pe + 4)) -N2 "$1" | tr -d ' '
}
# Wine's own files (drive_c of a prefix a test keeps in the tree) are not ours.
while IFS= read -r -d '' file; do
    count=$((count + 1))
    m=$(machine "$file")
    if [ "$m" != 014c ]; then
        echo "FAIL $file: machine $m, not 014c (i386)" >&2
        status=1
    fi
done < <(find "$dir" \( -name CMakeFiles -o -name drive_c \) -prune -o \( -name '*.exe' -o -name '*.dll' -o -name '*.ocx' \) -type f -print0)
for name in "$@"; do
    [ -n "$(find "$dir" -name CMakeFiles -prune -o -name "$name" -type f -print -quit)" ] ||
        { echo "FAIL $name was not built" >&2; status=1; }
done
echo "$count Windows files checked"
[ $status = 0 ] && echo "ok every program and library is 32-bit"
exit $status
