#!/usr/bin/env bash
# Seek latency of the web page in headless chromium: for every step, from
# the request (the seek a chapter click makes) to the picture on the
# canvas, to its start and to its last frame, and inside the closing part
# to the frame before its 10 s and 300 s points and to its last frame
# (tests/web/browser.mjs --bench). The page pre-rolls on the main thread
# of the browser, as the window does in its process.
#
# Usage: bench/web_seek.sh [BUILD_WEB] [BUILD]     (defaults build-web/ and
#        build/ beside bench/; build the web version with tools/web/build.sh)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
web=$(realpath -m "${1:-$root/build-web}")
native=$(realpath -m "${2:-$root/build}")
[ -f "$web/plivak.js" ] || { echo "no web build in $web: tools/web/build.sh builds it"; exit 1; }
exec node "$root/tests/web/browser.mjs" --bench "$web" "$native"
