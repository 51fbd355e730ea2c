#!/usr/bin/env bash
# Fuzzes one target of fuzz/ for a given time with libFuzzer (clang, ASan,
# UBSan):  scripts/fuzz.sh TARGET SECONDS [libFuzzer options...]
# Targets: bmp png jpeg package setup_script registry path_macros
# paint_script velapack_description wizard_dib uninstall_log. The build tree
# is build/fuzz. New inputs go to
# build/fuzz/work/TARGET (fuzz/corpus/TARGET is read, never written); a
# finding is written to build/fuzz/findings/TARGET/ and stops the run: fix
# it, then copy the input into fuzz/corpus/TARGET/ so every test run replays it.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -lt 2 ]; then
    sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
fi
target=$1
seconds=$2
shift 2
[ -d "$root/fuzz/corpus/$target" ] || { echo "fuzz.sh: unknown target '$target'" >&2; exit 2; }
command -v clang++ >/dev/null || { echo "fuzz.sh: needs clang (apt-get install clang)" >&2; exit 2; }

tree=$root/build/fuzz
cmake -S "$root" -B "$tree" -DRV_FUZZ=ON -DRV_TESTS=OFF -DRV_BENCHMARKS=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$tree" --target "fuzz_$target" -j"$(nproc)" >/dev/null

work=$tree/work/$target
findings=$tree/findings/$target
mkdir -p "$work" "$findings"
cd "$tree"
"$tree/fuzz/fuzz_$target" "$work" "$root/fuzz/corpus/$target" \
    -max_total_time="$seconds" -artifact_prefix="$findings/" -print_final_stats=1 "$@"
