#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing,
# and the Chinese locale that Wine needs for code page 936.
#   scripts/deps.sh build   compilers and libraries for the native build
#   scripts/deps.sh all     everything, including MinGW-w64, Wine and Xvfb (the default)
#   scripts/deps.sh bench   all, and NSIS for the install timing
#                           (scripts/bench-install.sh; the tests need no NSIS)
#
# Both programs are 32-bit Windows programs, so the tests need Wine's 32-bit
# side, which is a 32-bit Linux program. Which one (RV_WINE32, default auto):
#   native    the machine runs 32-bit code (tests/wine/can-run-32bit.sh):
#             Debian's `wine wine32:i386`, installed system-wide;
#   emulated  it does not: the wine32:i386 of exactly the installed wine64's
#             version, unpacked into a folder of its own (RV_WINE32_DIR,
#             default ~/.cache/rv-wine32) and run through the static
#             qemu-i386 of Debian 12's backports. The system's `wine` is left
#             alone; the folder is kept and reused by later runs.
# auto picks native where the machine can, emulated elsewhere. A download
# that fails ends this script with a failure, never with a quiet skip.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
what=${1:-all}
full=0
case "$what" in all | bench) full=1 ;; esac
. "$here/../tests/wine/wine32-mode.sh"

sudo=
[ "$(id -u)" = 0 ] || sudo=sudo

packages="cmake make g++ ccache libgtest-dev googletest libbenchmark-dev libpng-dev libjpeg62-turbo-dev"
wine32=none
if [ $full = 1 ]; then
    packages="$packages g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 xvfb x11-apps imagemagick
              fonts-wqy-zenhei locales fp-utils clang zip osslsigncode openssl"
    wine32=$(rv_wine32_mode) || exit 1
    [ "$wine32" = native ] && packages="$packages wine wine32:i386"
fi
[ "$what" = bench ] && packages="$packages nsis"

case " $packages " in
*:i386*)
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        echo "Adding the i386 architecture (for Wine's 32-bit loader)"
        $sudo dpkg --add-architecture i386
    fi ;;
esac

missing=
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing >/dev/null
fi

if [ $full = 1 ] && ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
    echo "Making the zh_CN.UTF-8 locale"
    $sudo localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
fi

[ "$wine32" = emulated ] || exit 0

# --- The emulated 32-bit Wine -------------------------------------------------
# Layout of $dir: apt/ (a private apt configuration: its own sources, state
# and cache, architectures amd64 and i386), qemu/ (qemu-user-static unpacked),
# root/ (wine32:i386, libwine:i386 and their i386 dependencies unpacked, with
# an ld.so.cache of its own, the builtin zlib1.dll, the host's fonts, and
# usr/lib/wine/wine-preloader, which runs every 32-bit Wine process through
# qemu-i386), ready (the wine64 version the root was made for).
dir=$(rv_wine32_dir)
version=$(dpkg-query -W -f='${Version}' wine64)
if [ "$(cat "$dir/ready" 2>/dev/null)" = "$version" ]; then
    echo "Emulated 32-bit Wine $version ready in $dir"
    exit 0
fi
fail() {
    echo "deps.sh: FAILED to set up the emulated 32-bit Wine: $*" >&2
    echo "deps.sh: the 32-bit programs' tests cannot run on this machine and will FAIL" >&2
    exit 1
}
echo "Setting up the emulated 32-bit Wine $version in $dir (about 150 MB of downloads)"
started=$(date +%s)
rm -rf "$dir/root" "$dir/qemu" "$dir/ready"
mkdir -p "$dir/apt/state/lists/partial" "$dir/apt/cache/archives/partial" "$dir/apt/etc/parts" "$dir/root" "$dir/qemu"
: >"$dir/apt/state/status"
cat >"$dir/apt/etc/sources.list" <<'EOF'
deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main
deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm-updates main
deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian-security bookworm-security main
deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm-backports main
EOF
apt_private() {
    apt-get -q -o Dir::Etc::sourcelist="$dir/apt/etc/sources.list" -o Dir::Etc::sourceparts="$dir/apt/etc/parts" \
        -o Dir::Etc::preferences="$dir/apt/etc/preferences" -o Dir::Etc::preferencesparts="$dir/apt/etc/parts" \
        -o Dir::State="$dir/apt/state" -o Dir::State::status="$dir/apt/state/status" \
        -o Dir::Cache="$dir/apt/cache" -o APT::Architecture=amd64 \
        -o APT::Architectures::=amd64 -o APT::Architectures::=i386 \
        -o APT::Install-Recommends=false -o APT::Sandbox::User=root "$@"
}
apt_private update >"$dir/apt/update.log" 2>&1 || { cat "$dir/apt/update.log" >&2; fail "apt-get update of the private configuration failed"; }
rm -f "$dir"/apt/cache/archives/*.deb
# qemu 10 from the backports: Debian 12's own 7.2 spends about a minute of CPU
# before each 32-bit process starts.
apt_private install --download-only -y qemu-user-static/bookworm-backports >"$dir/apt/qemu.log" 2>&1 ||
    { cat "$dir/apt/qemu.log" >&2; fail "downloading qemu-user-static from bookworm-backports failed"; }
# (From qemu 10 on, qemu-user-static is a transitional package and qemu-user
# holds the static programs: unpack what came.)
for deb in "$dir"/apt/cache/archives/*.deb; do
    [ -f "$deb" ] || fail "no qemu-user-static package was downloaded"
    dpkg -x "$deb" "$dir/qemu" || fail "unpacking $(basename "$deb") failed"
    rm -f "$deb"
done
qemu=$(rv_wine32_qemu "$dir")
[ -x "$qemu" ] || fail "qemu-user-static has no qemu-i386"
# The 32-bit Wine of exactly the installed wine64's version, with everything
# it depends on (the status is empty, so apt fetches the whole closure).
apt_private install --download-only -y "wine32:i386=$version" "libwine:i386=$version" libz-mingw-w64 \
    >"$dir/apt/wine32.log" 2>&1 ||
    { cat "$dir/apt/wine32.log" >&2; fail "downloading wine32:i386 $version and its dependencies failed"; }
count=0
for deb in "$dir"/apt/cache/archives/*.deb; do
    dpkg -x "$deb" "$dir/root" || fail "unpacking $(basename "$deb") failed"
    count=$((count + 1))
done
[ -x "$dir/root/usr/lib/wine/wine" ] || fail "wine32 has no usr/lib/wine/wine"
rm -f "$dir"/apt/cache/archives/*.deb

# What the maintainer scripts would have done. The loader's library cache:
[ -f "$dir/root/etc/ld.so.conf" ] || echo 'include /etc/ld.so.conf.d/*.conf' >"$dir/root/etc/ld.so.conf"
"$(command -v ldconfig || echo /sbin/ldconfig)" -r "$dir/root" || fail "ldconfig in $dir/root failed"
# The builtin zlib1.dll that libwine's postinst makes from the MinGW one
# (user32.dll needs it): the DOS stub's tail marks it as a Wine builtin.
zlib=$(ls "$dir"/root/usr/i686-w64-mingw32/lib/zlib*.dll 2>/dev/null | head -1)
[ -n "$zlib" ] || fail "libz-mingw-w64 has no 32-bit zlib1.dll"
out="$dir/root/usr/lib/i386-linux-gnu/wine/i386-windows/$(basename "$zlib")"
{ head -c 64 "$zlib"; printf 'Wine builtin DLL'; printf '\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0'; tail -c +97 "$zlib"; } >"$out"
# Fonts: the host's, seen at the same paths inside the root.
rm -rf "$dir/root/usr/share/fonts" "$dir/root/etc/fonts"
ln -s /usr/share/fonts "$dir/root/usr/share/fonts"
ln -s /etc/fonts "$dir/root/etc/fonts"
# Wine starts every process as <loader folder>/wine-preloader <loader folder>/wine
# ...; this one runs the 32-bit loader through qemu-i386, children included.
cat >"$dir/root/usr/lib/wine/wine-preloader" <<EOF
#!/bin/sh
exec "$qemu" -L "$dir/root" "\$@"
EOF
chmod +x "$dir/root/usr/lib/wine/wine-preloader"
# wine64 beside it lets a 32-bit parent start 64-bit children natively (the
# first wineboot of a prefix among them); it finds its own libraries beside
# it, so they are the host's, seen through a link.
cp /usr/lib/wine/wine64 "$dir/root/usr/lib/wine/wine64"
mkdir -p "$dir/root/usr/lib/x86_64-linux-gnu"
rm -rf "$dir/root/usr/lib/x86_64-linux-gnu/wine"
ln -s /usr/lib/x86_64-linux-gnu/wine "$dir/root/usr/lib/x86_64-linux-gnu/wine"
echo "$version" >"$dir/ready"
echo "Emulated 32-bit Wine ready: $count packages, $(du -sm "$dir/root" | cut -f1) MB, $(($(date +%s) - started)) s"
