#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests (Release and
# ASan+UBSan), the Windows programs' tests under Wine, and the release's
# reproducibility (tests/release/reproducible.sh).
# Build folders: build/native, build/asan, build/win (the 32-bit Windows
# programs and their tests) and, on a machine that cannot run 32-bit code,
# build/win64: the same sources built for 64-bit Windows, whose tests stand in
# under Wine for the 32-bit ones (those report themselves skipped).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)

scripts/deps.sh all
launcher=
command -v ccache >/dev/null && launcher="-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache"

cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Release $launcher >/dev/null
cmake --build build/native -j"$jobs"
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DRV_SANITIZE=ON -DRV_BENCHMARKS=OFF $launcher >/dev/null
cmake --build build/asan -j"$jobs"
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake $launcher >/dev/null
cmake --build build/win -j"$jobs"
win_trees=win
if ! tests/wine/can-run-32bit.sh; then
    echo "This machine cannot run 32-bit code: the Windows tests also run on a 64-bit build (build/win64)"
    cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DRV_WIN_ARCH=x86_64 $launcher >/dev/null
    cmake --build build/win64 -j"$jobs"
    win_trees="win win64"
fi

# A Wine prefix of this run's own, removed at the end.
export RV_WINE_ROOT=$(mktemp -d "${TMPDIR:-/tmp}/rv-wine.XXXXXX")
trap 'rm -rf "$RV_WINE_ROOT"' EXIT

status=0
for tree in native asan; do
    echo "== $tree tests =="
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --test-dir "build/$tree" --output-on-failure -j"$jobs" || status=1
done
for tree in $win_trees; do
    echo "== Windows tests under Wine ($tree) =="
    ctest --test-dir "build/$tree" --output-on-failure || status=1
done
# Two release builds of the checked-out commit (the first run compiles the
# programs twice; later runs are served by ccache).
echo "== The release is reproducible =="
tests/release/reproducible.sh || status=1
exit $status
