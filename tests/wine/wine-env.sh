# Sourced by the Wine test scripts: an isolated Wine prefix and home, the
# Chinese locale, the font and X11 driver settings, and an Xvfb of our own.
#
#   rv_wine_setup      prepares the prefix (once; later runs reuse it)
#   rv_xvfb_start      starts Xvfb on a free display and exports DISPLAY
#   rv_wine_cleanup    ends the wineserver of our prefix and our Xvfb
#   rv_pe_bits FILE    prints 32 or 64 for a Windows program, nothing otherwise
#   rv_can_run_32bit   true when this machine runs 32-bit x86 code at all
#   rv_has_wine32      true when Wine's 32-bit loader is installed
#
# RV_WINE_ROOT picks the folder (default: a folder of ours under /tmp);
# RV_WINE_LOCALE the locale (default zh_CN.UTF-8, whose code page is 936).
#
# The prefix is a 64-bit one, so 32-bit programs see the registry views and
# folder redirection they see on 64-bit Windows. Programs run through the
# `wine` launcher: with wine32 installed it starts the 32-bit loader, which
# hands 64-bit programs on to wine64; without it, wine64 runs everything and
# a 32-bit program fails without a word, so wine-run.sh refuses to try.

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

rv_can_run_32bit() {
    "$(dirname "${BASH_SOURCE[0]}")/can-run-32bit.sh"
}

rv_has_wine32() {
    [ -x /usr/lib/wine/wine ]
}

rv_wine_setup() {
    mkdir -p "$RV_WINE_ROOT" "$HOME"
    (
        flock 9
        [ -f "$RV_WINE_ROOT/ready" ] && exit 0
        rm -rf "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || { echo "wine-env: wineboot failed" >&2; exit 1; }
        local fonts='HKCU\Software\Wine\Fonts\Replacements'
        for f in "宋体" "SimSun" "System"; do
            wine reg add "$fonts" /v "$f" /t REG_SZ /d "WenQuanYi Zen Hei" /f >/dev/null 2>&1
        done
        local x11='HKCU\Software\Wine\X11 Driver'
        wine reg add "$x11" /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
        wine reg add "$x11" /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
        wineserver -w
        touch "$RV_WINE_ROOT/ready"
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
    wine reg add "$x11" /v Managed /t REG_SZ /d Y /f >/dev/null 2>&1 &&
        wine reg add "$x11" /v Decorated /t REG_SZ /d Y /f >/dev/null 2>&1 ||
        { echo "wine-env: could not set up the prefix for the desktop" >&2; return 1; }
    wineserver -w
    touch "$RV_WINE_ROOT/desktop"
}
