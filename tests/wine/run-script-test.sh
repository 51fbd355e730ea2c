#!/usr/bin/env bash
# scripts/run.sh gui|setup on the harness's Xvfb, with the folder run-script
# of the harness's own (RV_WINE_ROOT) as the folder of its kept prefix (made
# on the first run, reused as a user's is):
# the script must say where its prefix is, make the program folder afresh
# (gui) and bring up the program's first window; the test then ends the
# programs of that prefix and its Xvfb. Without a display the script must
# refuse with status 1.
#   run-script-test.sh gui|setup WAIT_FOR_WINDOW.exe BUILD_TREE
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
mode=$1
waiter=$2
tree=$3
# Outside the build tree, whose Windows files pe_machine_i386 checks.
run_root=${RV_WINE_ROOT:-${TMPDIR:-/tmp}/rv-wine-$(id -u)}/run-script
case "$mode" in
    gui) title="无标题 - Relievo" ;;   # the main frame with its empty document
    setup) title="Relievo安装" ;;      # the wizard's welcome page
    *) echo "run-script-test: gui or setup" >&2; exit 2 ;;
esac

work=$(mktemp -d "${TMPDIR:-/tmp}/rv-run-test.XXXXXX")
export RV_RUN_ROOT=$run_root RV_RUN_BUILD=$tree
RV_WINE_ROOT=$RV_RUN_ROOT
. "$here/wine-env.sh"
rv_has_wine32 || { echo "run-script-test: no 32-bit Wine: $(rv_wine32_describe)" >&2; rm -rf "$work"; exit 1; }

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# No display: a clear refusal before anything is built.
if (unset DISPLAY; "$root/scripts/run.sh" "$mode" >"$work/nodisplay.log" 2>&1); then
    fail "run.sh $mode without a display succeeded"
else
    [ $? = 1 ] || fail "run.sh $mode without a display: status other than 1"
    grep -q "no display" "$work/nodisplay.log" || fail "run.sh $mode without a display does not say so"
fi

mkdir -p "$RV_RUN_ROOT"
rm -rf "$RV_RUN_ROOT/Relievo"
rv_xvfb_start || exit 1
script_pid=
finish() {
    # Ends what this test started: the programs of its own prefix (through
    # that prefix's wineserver), the script by its PID, its Xvfb by its PID.
    wineserver -k >/dev/null 2>&1
    if [ -n "$script_pid" ]; then
        kill "$script_pid" 2>/dev/null
        wait "$script_pid" 2>/dev/null
    fi
    rv_wine_cleanup
    rm -rf "$work"
}
trap finish EXIT

"$root/scripts/run.sh" "$mode" >"$work/run.log" 2>&1 &
script_pid=$!

# The script builds, sets up its prefix and then starts the program; the
# window is looked for from then on.
for _ in $(seq 900); do
    grep -q '^Starting ' "$work/run.log" && break
    kill -0 "$script_pid" 2>/dev/null || break
    sleep 0.5
done
if grep -q '^Starting ' "$work/run.log" && [ -f "$RV_RUN_ROOT/desktop" ]; then
    wine "$waiter" "$title" 120 || fail "no window titled '$title' came up"
else
    fail "run.sh $mode did not get as far as starting its program"
fi
kill -0 "$script_pid" 2>/dev/null || fail "run.sh $mode ended while its program should be running"

grep -qF "Wine prefix: $RV_RUN_ROOT/prefix" "$work/run.log" || fail "run.sh does not say where its prefix is"
if [ "$mode" = gui ]; then
    folder=$RV_RUN_ROOT/Relievo
    for f in Relievo.exe readme.chm back/b1.bmp sample/dome.bmp; do
        [ -s "$folder/$f" ] || fail "the program folder has no $f"
    done
    [ -d "$folder/result" ] || fail "the program folder has no result folder"
fi

echo "--- run.sh $mode said:"
cat "$work/run.log"
[ $failures = 0 ] && echo "run.sh $mode: passed"
[ $failures = 0 ]
