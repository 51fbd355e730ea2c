#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests (Release and
# ASan+UBSan), the Windows programs' tests under Wine, and the release's
# reproducibility (tests/release/reproducible.sh).
# Build folders: build/native, build/asan, build/win (the 32-bit Windows
# programs and their tests). Every Windows test runs on the 32-bit programs:
# with the machine's own 32-bit Wine where it runs 32-bit code, through
# qemu-i386 where it does not (scripts/deps.sh sets up either; RV_WINE32=
# native|emulated chooses by hand). None is skipped.
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

# A Wine prefix of this run's own, removed at the end with the prefixes the
# silent and signed installer tests make beside it ("$RV_WINE_ROOT-silent",
# "-signed"): 1.3 GB each, which filled the disk of a machine that ran the
# tests a few times.
export RV_WINE_ROOT=$(mktemp -d "${TMPDIR:-/tmp}/rv-wine.XXXXXX")
trap 'rm -rf "$RV_WINE_ROOT" "$RV_WINE_ROOT"-silent "$RV_WINE_ROOT"-signed' EXIT

status=0
for tree in native asan; do
    echo "== $tree tests =="
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --test-dir "build/$tree" --output-on-failure -j"$jobs" || status=1
done
echo "== Windows tests under Wine (build/win): $(bash -c '. tests/wine/wine-env.sh && rv_wine32_describe') =="
started=$(date +%s)
ctest --test-dir build/win --output-on-failure || status=1
echo "== Windows tests took $(($(date +%s) - started)) s =="
# Two release builds of the checked-out commit (ccache serves the second).
echo "== The release is reproducible =="
tests/release/reproducible.sh || status=1
exit $status
