# Sourced by the Wine test scripts: an isolated Wine prefix and home, the
# Chinese locale, the font and X11 driver settings, and an Xvfb of our own.
#
#   rv_wine PROGRAM ARGS...  runs a Windows program with the loader of its
#                      bitness (see below)
#   rv_wine_setup      prepares the prefix (once; later runs reuse it)
#   rv_xvfb_start      starts Xvfb on a free display and exports DISPLAY
#   rv_wine_cleanup    ends the wineserver of our prefix and our Xvfb
#   rv_pe_bits FILE    prints 32 or 64 for a Windows program, nothing otherwise
#   rv_has_wine32      true when the 32-bit side of Wine is there
#   rv_wine32_describe one line: which 32-bit Wine runs the 32-bit programs
#
# RV_WINE_ROOT picks the folder (default: a folder of ours under /tmp);
# RV_WINE_LOCALE the locale (default zh_CN.UTF-8, whose code page is 936).
#
# The prefix is a 64-bit one (WoW64), so 32-bit programs see the registry
# views and folder redirection they see on 64-bit Windows. The 32-bit side of
# Wine is a 32-bit Linux program; RV_WINE32_MODE says which one runs it
# (tests/wine/wine32-mode.sh, installed by scripts/deps.sh):
#   native    the `wine` launcher with Debian's wine32:i386: it starts the
#             32-bit loader for 32-bit programs and hands 64-bit ones to wine64;
#   emulated  32-bit programs start with the private root's loader, whose
#             wine-preloader runs every 32-bit Wine process through qemu-i386
#             (children included); 64-bit programs start with the host's
#             wine64. Both share the prefix's wineserver.

here_env=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here_env/wine32-mode.sh"
# Before HOME moves into the prefix's folder.
export RV_WINE32_DIR=$(rv_wine32_dir)
RV_WINE32_MODE=$(rv_wine32_mode) || RV_WINE32_MODE=invalid
RV_WINE32_ROOT=$RV_WINE32_DIR/root

RV_WINE_ROOT=${RV_WINE_ROOT:-${TMPDIR:-/tmp}/rv-wine-$(id -u)}
export WINEPREFIX="$RV_WINE_ROOT/prefix"
export HOME="$RV_WINE_ROOT/home"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=${RV_WINE_LOCALE:-zh_CN.UTF-8}
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME XDG_RUNTIME_DIR

rv_pe_bits() {
    local pe magic
    pe=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
    [ -n "$pe" ] || return 0
    [ "$(od -An -c -j"$pe" -N4 "$1" | tr -d ' ')" = 'PE\0\0' ] || return 0
    magic=$(od -An -tx2 -j$((pe + 24)) -N2 "$1" | tr -d ' ')
    case "$magic" in
        010b) echo 32 ;;
        020b) echo 64 ;;
    esac
}

rv_has_wine32() {
    case "$RV_WINE32_MODE" in
    native) [ -x /usr/lib/wine/wine ] ;;
    emulated)
        [ "$(cat "$RV_WINE32_DIR/ready" 2>/dev/null)" = "$(dpkg-query -W -f='${Version}' wine64 2>/dev/null)" ] &&
            [ -x "$RV_WINE32_ROOT/usr/lib/wine/wine-preloader" ] ;;
    *) false ;;
    esac
}

rv_wine32_describe() {
    local version
    version=$(dpkg-query -W -f='${Version}' wine64 2>/dev/null)
    case "$RV_WINE32_MODE" in
    native) echo "32-bit programs run on Wine $version with the native 32-bit loader (wine32:i386)" ;;
    emulated)
        local qemu
        qemu=$("$(rv_wine32_qemu "$RV_WINE32_DIR")" --version 2>/dev/null | head -1)
        echo "32-bit programs run on Wine $version with the 32-bit loader emulated by" \
            "${qemu:-qemu-i386 (missing)} ($RV_WINE32_DIR)" ;;
    *) echo "no 32-bit Wine: RV_WINE32 is '${RV_WINE32:-}'" ;;
    esac
}

rv_wine() {
    if [ "$RV_WINE32_MODE" = emulated ]; then
        if [ -f "$1" ] && [ "$(rv_pe_bits "$1")" = 32 ]; then
            "$RV_WINE32_ROOT/usr/lib/wine/wine-preloader" "$RV_WINE32_ROOT/usr/lib/wine/wine" "$@"
        else
            /usr/lib/wine/wine64 "$@"
        fi
    else
        wine "$@"
    fi
}

rv_wine_setup() {
    mkdir -p "$RV_WINE_ROOT" "$HOME"
    (
        flock 9
        # The prefix is made by the 32-bit Wine of one kind; another remakes it.
        [ "$(cat "$RV_WINE_ROOT/ready" 2>/dev/null)" = "$RV_WINE32_MODE" ] && exit 0
        rm -rf "$WINEPREFIX"
        if [ "$RV_WINE32_MODE" = emulated ]; then
            # A prefix made by wine64 alone has an empty syswow64, where 32-bit
            # programs find no kernel32.dll. The root's loader fills it, once
            # zlib1.dll (which user32.dll needs) is there too.
            local loader="$RV_WINE32_ROOT/usr/lib/wine"
            "$loader/wine-preloader" "$loader/wine" wineboot -u >/dev/null 2>&1
            wineserver -w
            cp "$RV_WINE32_ROOT"/usr/lib/i386-linux-gnu/wine/i386-windows/zlib1.dll "$WINEPREFIX/drive_c/windows/syswow64/" ||
                { echo "wine-env: the emulated 32-bit Wine made no syswow64" >&2; exit 1; }
            "$loader/wine-preloader" "$loader/wine" wineboot -u >/dev/null 2>&1 ||
                { echo "wine-env: wineboot failed" >&2; exit 1; }
        else
            wineboot -i >/dev/null 2>&1 || { echo "wine-env: wineboot failed" >&2; exit 1; }
        fi
        local fonts='HKCU\Software\Wine\Fonts\Replacements'
        for f in "宋体" "SimSun" "System"; do
            rv_wine reg add "$fonts" /v "$f" /t REG_SZ /d "WenQuanYi Zen Hei" /f >/dev/null 2>&1
        done
        local x11='HKCU\Software\Wine\X11 Driver'
        rv_wine reg add "$x11" /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
        rv_wine reg add "$x11" /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
        wineserver -w
        echo "$RV_WINE32_MODE" >"$RV_WINE_ROOT/ready"
    ) 9>"$RV_WINE_ROOT/lock"
}

RV_XVFB_PID=
rv_xvfb_start() {
    local fifo="$RV_WINE_ROOT/xvfb.$$"
    rm -f "$fifo"
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    RV_XVFB_PID=$!
    local display
    read -r -t 20 display <"$fifo"
    rm -f "$fifo"
    [ -n "$display" ] || { echo "wine-env: Xvfb did not start" >&2; return 1; }
    export DISPLAY=":$display"
}

rv_wine_cleanup() {
    wineserver -k >/dev/null 2>&1
    if [ -n "$RV_XVFB_PID" ]; then
        kill "$RV_XVFB_PID" 2>/dev/null
        wait "$RV_XVFB_PID" 2>/dev/null
        RV_XVFB_PID=
    fi
}

# rv_wine_desktop_setup: for a program shown on the user's own desktop
# (scripts/run.sh gui and setup) rather than on the tests' Xvfb: its windows
# are framed and moved by the window manager like any other. Call after
# rv_wine_setup; done once per prefix.
rv_wine_desktop_setup() {
    [ -f "$RV_WINE_ROOT/desktop" ] && return 0
    local x11='HKCU\Software\Wine\X11 Driver'
    rv_wine reg add "$x11" /v Managed /t REG_SZ /d Y /f >/dev/null 2>&1 &&
        rv_wine reg add "$x11" /v Decorated /t REG_SZ /d Y /f >/dev/null 2>&1 ||
        { echo "wine-env: could not set up the prefix for the desktop" >&2; return 1; }
    wineserver -w
    touch "$RV_WINE_ROOT/desktop"
}
