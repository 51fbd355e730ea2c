#!/usr/bin/env bash
# scripts/run.sh          the main job on the bundled defaults: builds the native
#                         relievo-cli, then makes result/stereogram.bmp from the
#                         first bundled tile and the dome depth map
# scripts/run.sh gui      builds Relievo.exe and starts it under Wine on your display
# scripts/run.sh setup    builds RelievoSetup.exe and starts it under Wine: the
#                         wizard, then the installed program
# scripts/run.sh --help   this text
#
# gui and setup run in a Wine prefix of their own that is kept between runs
# (RV_RUN_ROOT, default ~/.local/share/relievo-wine), with the Chinese locale
# and the fonts the tests use. gui runs Relievo.exe from the program folder
# Relievo/ there, which holds back/, sample/, result/ and the help: your
# pictures stay in it between runs.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

usage() { sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//'; }

main_job() {
    scripts/deps.sh build
    cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build build/native -j"$(nproc)" --target relievo-cli
    build/native/tools/relievo-cli/relievo-cli generate \
        --tile back/b1.bmp --depth sample/dome.bmp --out result/stereogram.bmp
    echo "Wrote result/stereogram.bmp"
}

# The 32-bit Windows build tree (RV_RUN_BUILD: another one, such as the
# tests' own).
tree=${RV_RUN_BUILD:-$root/build/win}
# The kept prefix and the program folder live here.
run_root=${RV_RUN_ROOT:-${XDG_DATA_HOME:-$HOME/.local/share}/relievo-wine}

need_display() {
    if [ -z "${DISPLAY:-}" ]; then
        echo "run.sh: no display (DISPLAY is not set): $1 shows windows; run it in a desktop session" >&2
        exit 1
    fi
}

# Builds the Windows targets named.
build_windows() {
    scripts/deps.sh all
    local launcher=
    command -v ccache >/dev/null && launcher="-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
    if [ ! -f "$tree/CMakeCache.txt" ]; then
        cmake -S . -B "$tree" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake $launcher >/dev/null
    fi
    cmake --build "$tree" -j"$(nproc)" --target "$@"
}

# Runs a Windows program under Wine on the user's display, in the kept
# prefix, from the current folder; returns its exit status.
run_windows() {
    local program=$1
    # The X server's cookie, before the environment below moves HOME.
    if [ -z "${XAUTHORITY:-}" ] && [ -f "$HOME/.Xauthority" ]; then
        export XAUTHORITY=$HOME/.Xauthority
    fi
    RV_WINE_ROOT=$run_root
    . "$root/tests/wine/wine-env.sh"
    if [ "$(rv_pe_bits "$program")" = 32 ]; then
        rv_has_wine32 || { echo "run.sh: no 32-bit Wine here ($(rv_wine32_describe)); scripts/deps.sh all sets one up" >&2; exit 1; }
        rv_wine32_describe
    fi
    echo "Wine prefix: $WINEPREFIX (kept between runs; delete $RV_WINE_ROOT to start afresh)"
    rv_wine_setup || exit 1
    rv_wine_desktop_setup || exit 1
    echo "Starting $(basename "$program") on display $DISPLAY"
    rv_wine "$program"
}

what=${1:-}
case "$what" in
"")
    main_job ;;
-h|--help)
    usage ;;
gui)
    need_display Relievo.exe
    build_windows Relievo relievo_help
    # The program folder: the program and its help afresh, the bundled tiles
    # and depth maps added to what is there, the user's pictures kept.
    folder=$run_root/Relievo
    mkdir -p "$folder/back" "$folder/sample" "$folder/result"
    cp "$tree/bin/Relievo.exe" "$folder/"
    if [ -f "$tree/bin/readme.chm" ]; then cp "$tree/bin/readme.chm" "$folder/"; fi
    cp back/*.bmp "$folder/back/"
    cp sample/*.bmp "$folder/sample/"
    echo "Program folder: $folder (stereograms go to result/, depth maps to sample/)"
    cd "$folder"
    run_windows "$folder/Relievo.exe" ;;
setup)
    need_display RelievoSetup.exe
    build_windows RelievoSetup
    run_windows "$tree/bin/RelievoSetup.exe" ;;
*)
    echo "run.sh: unknown command '$what'" >&2
    usage >&2
    exit 2 ;;
esac
