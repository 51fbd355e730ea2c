#!/usr/bin/env bash
# Builds the release files of the checked-out commit, from a clean copy of
# that commit (uncommitted changes are left out), and writes them to dist/:
#   RelievoSetup-VERSION.exe          Relievo's installer
#   Relievo-VERSION-portable.zip      Relievo.exe, readme.chm, back/, sample/, result/
#   VelaTools-VERSION-win32.zip       relievo-cli.exe, and velapack.exe with the stub
#                                     VelaInstall.exe and the uninstaller VelaUnInsApp.exe
#                                     for making installers, and velapack.md, which says how
#   SHA256SUMS                        check the files with: cd dist && sha256sum -c SHA256SUMS
#
#   scripts/release.sh [--work DIR] [--out DIR]
# --work: the build folder (default build/release), emptied first;
# --out:  where the files go (default dist); earlier release files there are replaced.
#
# Reproducible: two builds of one commit give the same bytes, wherever they
# are made. The time of every file is SOURCE_DATE_EPOCH (default: the
# commit's time); the programs carry no time stamp, no build folder and no
# symbols; the zip entries are sorted, with fixed times and permissions.
# tests/release/reproducible.sh checks it.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
work=$root/build/release
out=$root/dist
while [ $# -gt 0 ]; do
    case "$1" in
        --work) work=$2; shift 2 ;;
        --out) out=$2; shift 2 ;;
        -h|--help) sed -n '2,19p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) echo "release.sh: unknown argument '$1' (see --help)" >&2; exit 2 ;;
    esac
done
mkdir -p "$work" "$out"
work=$(cd "$work" && pwd)
out=$(cd "$out" && pwd)

# The work folder is emptied: only one that is empty or was made by this
# script, never a folder of the user's.
marker=$work/.relievo-release
if [ -n "$(ls -A "$work")" ] && [ ! -f "$marker" ]; then
    echo "release.sh: $work is not empty and was not made by release.sh; give another --work" >&2
    exit 2
fi

cd "$root"
git rev-parse --verify -q HEAD >/dev/null ||
    { echo "release.sh: needs a git checkout (it builds the checked-out commit)" >&2; exit 2; }
[ -z "$(git status --porcelain --untracked-files=no)" ] ||
    echo "release.sh: uncommitted changes are not in the release (it builds $(git rev-parse --short HEAD))"
version=$(sed -n 's/^project([A-Za-z]* VERSION \([0-9][0-9.]*\) .*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "release.sh: no project version in CMakeLists.txt" >&2; exit 1; }

scripts/deps.sh all
command -v zip >/dev/null || { echo "release.sh: needs zip" >&2; exit 1; }

export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct HEAD)}
export TZ=UTC LC_ALL=C
umask 022

find "$work" -mindepth 1 -delete
touch "$marker"
src=$work/src
tree=$work/build
stage=$work/stage
mkdir -p "$src" "$stage"
git archive --format=tar HEAD | tar -x -C "$src"

launcher=
if command -v ccache >/dev/null; then
    launcher="-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
    # Paths below the work folder count as relative, so a build in another
    # folder is served from the cache too.
    export CCACHE_BASEDIR=$work
fi
echo "Building Relievo $version ($(git rev-parse --short HEAD)) in $tree"
cmake -S "$src" -B "$tree" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DRV_TESTS=OFF -DRV_BENCHMARKS=OFF -DRV_REPRODUCIBLE=ON $launcher >/dev/null
cmake --build "$tree" -j"$(nproc)" --target Relievo relievo_help relievo_folders RelievoSetup \
    relievo-cli velapack VelaInstall VelaUnInsApp >/dev/null

bin=$tree/bin
for f in "$bin/Relievo.exe" "$bin/readme.chm" "$bin/RelievoSetup.exe" "$tree/tools/relievo-cli/relievo-cli.exe" \
         "$tree/tools/velapack/velapack.exe" "$tree/installer/wizard/VelaInstall.exe" \
         "$tree/installer/uninstall/VelaUnInsApp.exe"; do
    [ -s "$f" ] || { echo "release.sh: the build made no $f" >&2; exit 1; }
done

# zip_folder PARENT NAME ZIP: NAME (a folder in PARENT) and everything in it,
# entries sorted, every time SOURCE_DATE_EPOCH, no owner or Unix times.
zip_folder() {
    (
        cd "$1"
        find "$2" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
        find "$2" -type d -exec chmod 755 {} +
        find "$2" -type f -exec chmod 644 {} +
        rm -f "$3"
        find "$2" | sort | zip -X -q -9 "$3" -@
    )
}

portable=Relievo-$version
mkdir -p "$stage/$portable/result"
cp "$bin/Relievo.exe" "$bin/readme.chm" "$stage/$portable/"
cp -r "$src/back" "$src/sample" "$stage/$portable/"

tools=VelaTools-$version-win32
mkdir -p "$stage/$tools"
cp "$tree/tools/relievo-cli/relievo-cli.exe" "$tree/tools/velapack/velapack.exe" \
   "$tree/installer/wizard/VelaInstall.exe" "$tree/installer/uninstall/VelaUnInsApp.exe" \
   "$src/docs/velapack.md" "$stage/$tools/"

setup=RelievoSetup-$version.exe
portable_zip=$portable-portable.zip
tools_zip=$tools.zip
rm -f "$out"/RelievoSetup-*.exe "$out"/Relievo-*-portable.zip "$out"/VelaTools-*-win32.zip "$out/SHA256SUMS"
zip_folder "$stage" "$portable" "$out/$portable_zip"
zip_folder "$stage" "$tools" "$out/$tools_zip"
cp "$bin/RelievoSetup.exe" "$out/$setup"
chmod 644 "$out/$setup"
(cd "$out" && sha256sum "$setup" "$portable_zip" "$tools_zip" >SHA256SUMS)
touch -d "@$SOURCE_DATE_EPOCH" "$out/$setup" "$out/$portable_zip" "$out/$tools_zip" "$out/SHA256SUMS"

echo "Wrote $out:"
(cd "$out" && ls -l "$setup" "$portable_zip" "$tools_zip" SHA256SUMS)
echo "Check them with: (cd $out && sha256sum -c SHA256SUMS)"
