#!/usr/bin/env bash
# The release is reproducible: builds it twice with scripts/release.sh, in two
# folders of different names and lengths, and compares every file of the two
# dist folders byte for byte (the zips hold the programs, the help and the
# pictures; the installer holds its package). Slow: two release builds.
#   tests/release/reproducible.sh [FOLDER]   (default build/reproducible)
# The builds go to FOLDER/one and FOLDER/second-build, which are kept. ccache
# serves the compiler's output to both (the compile commands name the sources
# by relative paths), so the files are also searched for the folders' names:
# a build folder that reached a program would be caught there.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
base=${1:-$root/build/reproducible}
mkdir -p "$base"
base=$(cd "$base" && pwd)

for run in one second-build; do
    echo "== release build in $base/$run"
    "$root/scripts/release.sh" --work "$base/$run/work" --out "$base/$run/dist" >"$base/$run.log" 2>&1 || {
        cat "$base/$run.log"
        echo "FAIL: the release build in $base/$run failed"
        exit 1
    }
done

a=$base/one/dist
b=$base/second-build/dist
failures=0
files=$(cd "$a" && find . -type f | LC_ALL=C sort)
if [ "$files" != "$(cd "$b" && find . -type f | LC_ALL=C sort)" ]; then
    echo "FAIL: the two builds made different files:"
    diff <(cd "$a" && find . -type f | LC_ALL=C sort) <(cd "$b" && find . -type f | LC_ALL=C sort)
    failures=1
fi
[ "$(echo "$files" | grep -c .)" -ge 4 ] || { echo "FAIL: too few release files: $files"; failures=1; }
for f in $files; do
    if cmp -s "$a/$f" "$b/$f"; then
        echo "same: $f"
    else
        echo "FAIL: $f differs between the builds; first differing bytes (offset, one, second-build):"
        cmp -l "$a/$f" "$b/$f" | head -20
        failures=1
    fi
done
(cd "$a" && sha256sum -c --quiet SHA256SUMS) || { echo "FAIL: SHA256SUMS does not match the files"; failures=1; }

# No build folder in any file, inside the zips included.
unpacked=$base/unpacked
rm -rf "$unpacked"
mkdir -p "$unpacked"
for z in "$a"/*.zip; do unzip -q "$z" -d "$unpacked" || { echo "FAIL: cannot unpack $z"; failures=1; }; done
cp "$a"/*.exe "$unpacked/"
for folder in "$root" "$base"; do
    leaks=$(grep -rlaF "$folder" "$unpacked")
    [ -z "$leaks" ] || { echo "FAIL: the build folder $folder is named in:"; echo "$leaks"; failures=1; }
done
rm -rf "$unpacked"
[ $failures = 0 ] && echo "The release is reproducible ($(echo "$files" | grep -c .) files)"
exit $failures
