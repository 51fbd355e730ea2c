#!/usr/bin/env bash
# Runs relievo-cli.exe generate under Wine for every case of expected/cases.txt,
# reading inputs and writing the output under Chinese file names, and compares
# the result byte for byte with the picture the native tool made.
#   wine-generate.sh WINE-RUN RELIEVO-CLI.EXE REPOSITORY-ROOT
set -u
[ $# -eq 3 ] || { echo "usage: wine-generate.sh WINE-RUN RELIEVO-CLI.EXE ROOT" >&2; exit 2; }
run=$1 exe=$2 root=$3
here=$(cd "$(dirname "$0")" && pwd)
"$run" --can-run "$exe" || exit 1   # the 32-bit Wine is missing: says so
work=$(mktemp -d "${TMPDIR:-/tmp}/rv-cli-wine.XXXXXX")
trap 'rm -rf "$work"' EXIT

status=0
cases=0
while read -r expected rest; do
    case "$expected" in ''|'#'*) continue ;; esac
    args=()
    for word in $rest; do
        case "$word" in
        @*) # inputs under Chinese names too
            input="$work/输入-$(basename "${word#@}")"
            cp "$root/${word#@}" "$input"
            args+=("Z:$input") ;;
        *) args+=("$word") ;;
        esac
    done
    out="$work/立体图-${expected}"
    "$run" "$exe" generate "${args[@]}" --out "Z:$out"
    code=$?
    cases=$((cases + 1))
    if [ $code -ne 0 ]; then
        echo "FAIL $expected: relievo-cli.exe exited with $code" >&2
        status=1
    elif [ ! -f "$out" ]; then
        echo "FAIL $expected: no output file under its Chinese name" >&2
        ls -la "$work" >&2
        status=1
    elif ! cmp "$out" "$here/expected/$expected"; then
        echo "FAIL $expected: differs from the native tool's picture" >&2
        status=1
    else
        echo "ok $expected"
    fi
done <"$here/expected/cases.txt"

# A bad input: one line, a non-zero status and no output file.
"$run" "$exe" generate --tile "Z:$work/missing.bmp" --out "Z:$work/不应存在.bmp" >"$work/bad.log" 2>&1
code=$?
if [ $code -eq 0 ] || [ -e "$work/不应存在.bmp" ] || ! grep -q "missing.bmp" "$work/bad.log"; then
    echo "FAIL bad input: status $code" >&2
    cat "$work/bad.log" >&2
    status=1
else
    echo "ok bad input refused"
fi

[ $cases -ge 1 ] || { echo "FAIL: no cases" >&2; status=1; }
exit $status
