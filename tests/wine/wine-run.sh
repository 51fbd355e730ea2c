#!/usr/bin/env bash
# Runs one Windows program under Wine in the test environment and passes its
# exit status on.
#   wine-run.sh [--gtest] [--shots] PROGRAM.exe [ARGS...]
#   wine-run.sh --batch FILE PROGRAM.exe
#   wine-run.sh --can-run PROGRAM.exe   status 0 when it can run here, 1 (and
#                                       why) when it cannot
# --batch: runs PROGRAM once for each line of FILE, whose tab-separated words
#          are the arguments, all in one Wine session (one wineserver start);
#          prints "wine-run: batch line N: status S" for each and fails when
#          any run fails.
# --gtest: the program is a GoogleTest runner; besides a zero status its output
#          must report passed tests (a program that fails to start under Wine
#          can still exit with 0).
# --shots: serve screenshot requests: the program writes NAME.shot-request
#          ("x y width height" of the screen area) in the current folder and
#          waits for it to disappear; NAME.png is then the picture of that area.
# Every run first says which 32-bit Wine it uses (native, or emulated through
# qemu-i386 where the machine cannot run 32-bit code). A 32-bit program where
# that Wine is missing fails the run, saying so: it is never skipped, and
# never started where it would fail without a word.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"

gtest=0
shots=0
check_only=0
batch=
while [ $# -gt 0 ]; do
    case "$1" in
        --can-run) check_only=1; shift ;;
        --gtest) gtest=1; shift ;;
        --shots) shots=1; shift ;;
        --batch) batch=${2:?--batch needs a file}; shift 2 ;;
        *) break ;;
    esac
done
[ $# -ge 1 ] || { echo "usage: wine-run.sh [--gtest] [--shots] PROGRAM.exe [ARGS...] | --batch FILE PROGRAM.exe | --can-run PROGRAM.exe" >&2; exit 2; }

bits=$(rv_pe_bits "$1")
echo "wine-run: $(basename "$1") ($bits-bit); $(rv_wine32_describe)" >&2
if [ "$bits" = 32 ] && ! rv_has_wine32; then
    echo "wine-run: FAILED: the 32-bit Wine ($RV_WINE32_MODE) is missing or incomplete; scripts/deps.sh all installs it" >&2
    exit 1
fi
[ $check_only = 1 ] && exit 0

rv_wine_setup || exit 1
rv_xvfb_start || exit 1
watcher=
cleanup() {
    [ -n "$watcher" ] && kill "$watcher" 2>/dev/null && wait "$watcher" 2>/dev/null
    rv_wine_cleanup
}
trap cleanup EXIT

if [ $shots = 1 ]; then
    (
        while sleep 0.2; do
            for req in ./*.shot-request; do
                [ -e "$req" ] || continue
                read -r x y w h <"$req"
                name=${req%.shot-request}
                xwd -root -silent | convert xwd:- -crop "${w}x${h}+${x}+${y}" +repage "$name.png" ||
                    echo "wine-run: screenshot $name failed" >&2
                rm -f "$req"
            done
        done
    ) &
    watcher=$!
fi

if [ -n "$batch" ]; then
    status=0
    line=0
    runs=0
    while IFS=$'\t' read -r -a words; do
        line=$((line + 1))
        [ ${#words[@]} -gt 0 ] || continue
        rv_wine "$1" "${words[@]}" </dev/null
        code=$?
        runs=$((runs + 1))
        echo "wine-run: batch line $line: status $code"
        [ $code = 0 ] || status=1
    done <"$batch"
    [ $runs -gt 0 ] || { echo "wine-run: $batch holds no run" >&2; status=1; }
    exit $status
fi

out="$RV_WINE_ROOT/out.$$"
rv_wine "$@" >"$out" 2>&1
status=$?
cat "$out"
if [ $gtest = 1 ] && [ $status = 0 ] && ! grep -qE '^\[  PASSED  \] [1-9][0-9]* test' "$out"; then
    echo "wine-run: $1 reported no passed tests" >&2
    status=1
fi
rm -f "$out"
exit $status
