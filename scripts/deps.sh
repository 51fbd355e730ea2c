#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing,
# and the Chinese locale that Wine needs for code page 936.
#   scripts/deps.sh build   compilers and libraries for the native build
#   scripts/deps.sh all     everything, including MinGW-w64, Wine and Xvfb
set -eu
what=${1:-all}
packages="cmake make g++ libgtest-dev googletest libbenchmark-dev"
if [ "$what" = all ]; then
    packages="$packages g++-mingw-w64-x86-64 wine64 xvfb x11-apps imagemagick fonts-wqy-zenhei locales"
fi

sudo=
[ "$(id -u)" = 0 ] || sudo=sudo

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
