#!/usr/bin/env bash
# Builds the web version into OUT_DIR (default build-web/ beside tools/):
# the served files in its root (the page, the wasm and JS, data/,
# libopenmpt.worklet.js), the node capture in OUT_DIR/bin, the CMake tree in
# OUT_DIR/cmake. The data comes from the native build's generator: build/
# is built first when its data folder is missing. Installs what is
# missing first: emscripten, node-acorn, node, npm and chromium from
# Debian (through tools/setup.sh), the pinned npm packages of tools/web
# (npm ci).
# Usage: tools/web/build.sh [OUT_DIR]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
out=${1:-$root/build-web}
mkdir -p "$out/cmake"
out=$(cd "$out" && pwd)
native=${PLIVAK_NATIVE_BUILD:-$root/build}

# Debian's emscripten runs its JS optimiser on the packaged acorn.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

# What the web build and its checks need from Debian (the browser for the
# page's test), besides the native build's own packages.
# node and npm may come from elsewhere than Debian (a newer node whose
# package replaces Debian's npm): asked for only when the command is missing.
web_packages=(emscripten node-acorn chromium)
command -v node > /dev/null || web_packages+=(nodejs)
command -v npm > /dev/null || web_packages+=(npm)
"$root/tools/setup.sh" - "${web_packages[@]}" --

if [ ! -f "$native/data/.generated" ]; then
    echo "Building the native tree for the data folder ($native)"
    "$root/tools/setup.sh" "$native" -- -DPLIVAK_TESTS=OFF -DPLIVAK_BENCH=OFF
fi
# The chapter file the page's seeks start from, recorded by the native
# capture (one whole show; again only when the capture or the data change).
cmake --build "$native" --target plivak_chapters
# The pinned npm packages, installed again whenever the lock file changes.
if [ ! -f "$root/tools/web/node_modules/.package-lock.json" ] ||
   [ "$root/tools/web/package-lock.json" -nt "$root/tools/web/node_modules/.package-lock.json" ]; then
    (cd "$root/tools/web" && npm ci --no-audit --no-fund --loglevel=error)
fi

launcher=()
command -v ccache > /dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
emcmake cmake -S "$root" -B "$out/cmake" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPLIVAK_WERROR=ON \
    -DPLIVAK_WEB_OUT="$out" -DPLIVAK_NATIVE_DATA="$native/data" "${launcher[@]}" > "$out/cmake/configure.log" 2>&1 || {
    cat "$out/cmake/configure.log"
    exit 1
}
cmake --build "$out/cmake" -j"$(nproc)"
