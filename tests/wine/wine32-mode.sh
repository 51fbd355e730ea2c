# Sourced by scripts/deps.sh and wine-env.sh: which 32-bit Wine this machine
# uses, and where the emulated one lives.
#
#   rv_wine32_mode     prints native or emulated (RV_WINE32: native, emulated
#                      or auto, the default: native where the machine runs
#                      32-bit code, emulated elsewhere)
#   rv_wine32_dir      the emulated Wine's folder (RV_WINE32_DIR, default
#                      ~/.cache/rv-wine32)
#   rv_wine32_qemu DIR the static qemu-i386 unpacked in DIR

rv_wine32_mode() {
    case "${RV_WINE32:-auto}" in
    native | emulated) echo "$RV_WINE32" ;;
    auto)
        if "$(dirname "${BASH_SOURCE[0]}")/can-run-32bit.sh"; then echo native; else echo emulated; fi ;;
    *)
        echo "RV_WINE32 must be native, emulated or auto, not '$RV_WINE32'" >&2
        return 1 ;;
    esac
}

rv_wine32_dir() {
    echo "${RV_WINE32_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/rv-wine32}"
}

rv_wine32_qemu() {
    local q
    for q in "$1/qemu/usr/bin/qemu-i386-static" "$1/qemu/usr/bin/qemu-i386"; do
        [ -x "$q" ] && { echo "$q"; return 0; }
    done
    echo "$1/qemu/usr/bin/qemu-i386-static"
}
