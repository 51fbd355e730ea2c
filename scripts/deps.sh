#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing,
# and the Chinese locale that Wine needs for code page 936.
#   scripts/deps.sh build   compilers and libraries for the native build
#   scripts/deps.sh all     everything, including MinGW-w64, Wine and Xvfb
# Both programs are 32-bit Windows programs. Wine runs them only with its
# 32-bit loader (wine32, from Debian's i386 architecture, behind the `wine`
# launcher), which needs a machine that runs 32-bit code; on one that does
# not, it is not installed and the tests run on a 64-bit build instead.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
what=${1:-all}
packages="cmake make g++ libgtest-dev googletest libbenchmark-dev libpng-dev libjpeg62-turbo-dev"
if [ "$what" = all ]; then
    packages="$packages g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 xvfb x11-apps imagemagick
              fonts-wqy-zenhei locales fp-utils clang zip osslsigncode openssl"
    "$here/../tests/wine/can-run-32bit.sh" && packages="$packages wine wine32:i386"
fi

sudo=
[ "$(id -u)" = 0 ] || sudo=sudo

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

if [ "$what" = all ] && ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
    echo "Making the zh_CN.UTF-8 locale"
    $sudo localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
fi
