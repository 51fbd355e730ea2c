#!/usr/bin/env bash
# The Windows relievo-cli.exe under Wine against the native relievo-cli: every
# case of cases.txt (the project's gesture scripts, the stress scripts of
# stress-scripts.sh, generator cases) and every generator case of
# tools/relievo-cli/tests/expected/cases.txt must give the same bytes in both.
# Floating point is where builds part: a 32-bit build computing on the x87
# unit puts some lasso edges, ellipse rims and ramp steps one pixel off.
#   crossbuild.sh WINE-RUN RELIEVO-CLI.EXE NATIVE-RELIEVO-CLI ROOT
set -u
[ $# -eq 4 ] || { echo "usage: crossbuild.sh WINE-RUN RELIEVO-CLI.EXE NATIVE-RELIEVO-CLI ROOT" >&2; exit 2; }
run=$1 exe=$2 native=$3 root=$4
here=$(cd "$(dirname "$0")" && pwd)
[ -x "$native" ] || { echo "FAIL: no native relievo-cli at $native" >&2; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/rv-crossbuild.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/native" "$work/wine" "$work/scripts"
"$here/stress-scripts.sh" "$work/scripts" || { echo "FAIL: stress-scripts.sh" >&2; exit 1; }

status=0
fail() { echo "FAIL $*" >&2; status=1; }

# The case list: ours, then the Windows tool test's generator cases.
cases="$work/cases"
grep -v '^[[:space:]]*\(#\|$\)' "$here/cases.txt" >"$cases"
grep -v '^[[:space:]]*\(#\|$\)' "$root/tools/relievo-cli/tests/expected/cases.txt" |
    while read -r expected rest; do echo "expected-${expected%.bmp} generate $rest"; done >>"$cases"

# Every script of the tests is a case.
for script in "$root"/painter/painting/tests/scripts/*.txt "$root"/tests/wine/scripts/*.txt \
    "$root"/fuzz/corpus/paint_script/*; do
    grep -q -- "@${script#"$root"/}\( \|$\)" "$cases" || fail "${script#"$root"/}: a gesture script that cases.txt does not replay"
done
for script in "$work"/scripts/*; do
    grep -q -- "+$(basename "$script")\( \|$\)" "$cases" || fail "$(basename "$script"): a stress script that cases.txt does not replay"
done

# Arguments of one case for one side (native: Unix paths; wine: drive Z:).
arguments() {
    local side=$1 prefix='' word
    shift
    [ "$side" = wine ] && prefix=Z:
    for word in "$@"; do
        case "$word" in
        @*) printf '%s\t' "$prefix$root/${word#@}" ;;
        +*) printf '%s\t' "$prefix$work/scripts/${word#+}" ;;
        %*) printf '%s\t' "$prefix$work/native/${word#%}.bmp" ;;
        *) printf '%s\t' "$word" ;;
        esac
    done
}

# The native side first (later cases may read its pictures), and the batch of
# Windows runs.
names=()
batch="$work/batch"
: >"$batch"
while read -r name command rest; do
    names+=("$name")
    IFS=$'\t' read -r -a args <<<"$(arguments native $command $rest)"
    "$native" "${args[@]}" --out "$work/native/$name.bmp" >"$work/native/$name.log" 2>&1 ||
        fail "$name: the native relievo-cli failed: $(cat "$work/native/$name.log")"
    printf '%s%s\t%s\n' "$(arguments wine $command $rest)" --out "Z:$work/wine/$name.bmp" >>"$batch"
done <"$cases"

"$run" --batch "$batch" "$exe" >"$work/wine.log" 2>&1 || { cat "$work/wine.log" >&2; fail "relievo-cli.exe failed on some case"; }
head -1 "$work/wine.log"

# A stress picture that is all white would prove nothing.
blank() {
    local size
    size=$(stat -c %s "$1")
    "$native" paint --width "$2" --height "$3" --script "$root/tests/wine/scripts/empty.txt" --out "$work/blank.bmp" &&
        [ "$(stat -c %s "$work/blank.bmp")" = "$size" ] && cmp -s "$1" "$work/blank.bmp"
}

compared=0
for name in "${names[@]}"; do
    a="$work/native/$name.bmp" b="$work/wine/$name.bmp"
    if [ ! -s "$a" ]; then
        fail "$name: the native tool wrote nothing"
    elif [ ! -f "$b" ]; then
        fail "$name: relievo-cli.exe wrote nothing"
    elif ! cmp -s "$a" "$b"; then
        fail "$name: differs from the native picture in $(cmp -l "$a" "$b" 2>/dev/null | wc -l) bytes"
    else
        echo "ok $name"
        compared=$((compared + 1))
    fi
done
while read -r name command rest; do
    case "$rest" in *--script\ +*)
        set -- $rest
        blank "$work/native/$name.bmp" "$2" "$4" && fail "$name: the stress script painted nothing" ;;
    esac
done <"$cases"

echo "$compared of ${#names[@]} cases byte-identical"
[ ${#names[@]} -ge 1 ] || fail "no cases"
exit $status
