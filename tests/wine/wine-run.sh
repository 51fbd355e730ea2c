#!/usr/bin/env bash
# Runs one Windows program under Wine in the test environment and passes its
# exit status on.
#   wine-run.sh [--gtest] PROGRAM.exe [ARGS...]
# --gtest: the program is a GoogleTest runner; besides a zero status its output
# must report the tests as passed (a program that fails to start under Wine can
# still exit with 0).
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"

gtest=0
if [ "${1:-}" = "--gtest" ]; then gtest=1; shift; fi
[ $# -ge 1 ] || { echo "usage: wine-run.sh [--gtest] PROGRAM.exe [ARGS...]" >&2; exit 2; }

rv_wine_setup || exit 1
rv_xvfb_start || exit 1
trap rv_wine_cleanup EXIT

out="$RV_WINE_ROOT/out.$$"
wine "$@" >"$out" 2>&1
status=$?
cat "$out"
if [ $gtest = 1 ] && [ $status = 0 ] && ! grep -q '^\[  PASSED  \]' "$out"; then
    echo "wine-run: $1 reported no passed tests" >&2
    status=1
fi
rm -f "$out"
exit $status
