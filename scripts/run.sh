#!/usr/bin/env bash
# The main job on the bundled defaults: build the native tools, then make a
# stereogram from the first bundled tile and the dome depth map into result/.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/deps.sh build
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/native -j"$(nproc)" --target relievo-cli
build/native/tools/relievo-cli/relievo-cli generate \
    --tile back/b1.bmp --depth sample/dome.bmp --out result/stereogram.bmp
echo "Wrote result/stereogram.bmp"
