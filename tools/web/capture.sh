#!/usr/bin/env bash
# The web build's plivak-capture (wasm, under node) with plivak-capture's
# own options. It runs in BUILD_WEB/bin, so that it finds its data in
# ../data as the native capture does in build/bin; relative paths given to
# --log, --wav and --config are taken from the caller's folder.
# Usage: tools/web/capture.sh [--build BUILD_WEB] [plivak-capture options]
#        (BUILD_WEB defaults to $PLIVAK_WEB_BUILD, else build-web/)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${PLIVAK_WEB_BUILD:-$root/build-web}
if [ "${1:-}" = "--build" ]; then
    build=$2
    shift 2
fi
if [ ! -f "$build/bin/plivak-capture.js" ]; then
    echo "capture.sh: no web build in $build (run tools/web/build.sh first)" >&2
    exit 2
fi
args=()
while [ $# -gt 0 ]; do
    case $1 in
        --log|--wav|--config|--png|--video)
            args+=("$1")
            if [ $# -gt 1 ]; then
                case $2 in
                    /*|-*) args+=("$2") ;;
                    *) args+=("$PWD/$2") ;;
                esac
                shift
            fi
            ;;
        *) args+=("$1") ;;
    esac
    shift
done
cd "$build/bin"
# Emscripten's loader would otherwise try fetch() for the wasm under node.
exec node --no-experimental-fetch plivak-capture.js "${args[@]}"
