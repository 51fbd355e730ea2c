#!/usr/bin/env bash
# Runs one Windows program under Wine in the test environment and passes its
# exit status on.
#   wine-run.sh [--gtest] [--shots] PROGRAM.exe [ARGS...]
#   wine-run.sh --can-run PROGRAM.exe   status 0 when it can run here, 77 if not
# --gtest: the program is a GoogleTest runner; besides a zero status its output
#          must report passed tests (a program that fails to start under Wine
#          can still exit with 0).
# --shots: serve screenshot requests: the program writes NAME.shot-request
#          ("x y width height" of the screen area) in the current folder and
#          waits for it to disappear; NAME.png is then the picture of that area.
# A 32-bit program on a machine that cannot run 32-bit code at all ends the
# run with status 77 (skipped), saying so; on one that can, Wine's 32-bit
# loader must be installed. Either way it never runs where it would fail
# without a word.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"

gtest=0
shots=0
check_only=0
while [ $# -gt 0 ]; do
    case "$1" in
        --can-run) check_only=1; shift ;;
        --gtest) gtest=1; shift ;;
        --shots) shots=1; shift ;;
        *) break ;;
    esac
done
[ $# -ge 1 ] || { echo "usage: wine-run.sh [--gtest] [--shots] PROGRAM.exe [ARGS...]" >&2; exit 2; }

if [ "$(rv_pe_bits "$1")" = 32 ]; then
    if ! rv_can_run_32bit; then
        echo "wine-run: skipped: this machine cannot run 32-bit code, so Wine cannot run the 32-bit $(basename "$1")" >&2
        exit 77
    fi
    if ! rv_has_wine32; then
        echo "wine-run: Wine's 32-bit loader is missing (scripts/deps.sh installs wine and wine32:i386)" >&2
        exit 1
    fi
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

out="$RV_WINE_ROOT/out.$$"
wine "$@" >"$out" 2>&1
status=$?
cat "$out"
if [ $gtest = 1 ] && [ $status = 0 ] && ! grep -qE '^\[  PASSED  \] [1-9][0-9]* test' "$out"; then
    echo "wine-run: $1 reported no passed tests" >&2
    status=1
fi
rm -f "$out"
exit $status
