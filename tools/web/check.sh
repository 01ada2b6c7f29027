#!/usr/bin/env bash
# The web build's checks, run by ./test after tools/web/build.sh:
#  1. the gzip reader: plivak-gz-probe, native and wasm, on the cases of
#     gz_cases.py and on every file of the data folder; same lines;
#  2. the same show: the wasm capture under node and the native capture
#     write the same --log (every frame's step, beat, sync and picture
#     CRC) for the seventeen parts and the first seconds of the closing
#     part; with --long, for the whole show, the 600 s closing part
#     included. The WAV is compared and reported, not required to match:
#     the web build's libopenmpt is another version;
#  3. the page's browser test, tests/web/browser.mjs, when it exists.
# Usage: tools/web/check.sh [--long] [BUILD_WEB] [NATIVE_BUILD]
#        (defaults build-web/ and build/ beside tools/)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
long=0
if [ "${1:-}" = "--long" ]; then
    long=1
    shift
fi
web=$(cd "${1:-$root/build-web}" && pwd)
native=$(cd "${2:-$root/build}" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/plivak-web-check.XXXXXX")
trap 'rm -rf "$work"' EXIT
failed=0

echo "== gzip reader: native and wasm on the same files"
python3 "$root/tools/web/gz_cases.py" "$work/gz"
files=("$work"/gz/* "$work/gz/missing" "$native"/data/*)
"$native/bin/plivak-gz-probe" "${files[@]}" > "$work/gz-native.txt"
(cd "$web/bin" && node --no-experimental-fetch plivak-gz-probe.js "${files[@]}") > "$work/gz-web.txt"
if diff "$work/gz-native.txt" "$work/gz-web.txt"; then
    echo "same results for $(wc -l < "$work/gz-native.txt") files"
else
    echo "FAIL: the wasm gzip reader differs (< native, > wasm)"
    failed=1
fi

# Runs both captures with the same options and compares the logs.
compare_show() {
    local what=$1
    shift
    echo "== same show: $what"
    local t0 t1 t2
    t0=$(date +%s%N)
    (cd "$native/bin" && ./plivak-capture --quiet "$@" --log "$work/native.log" --wav "$work/native.wav" > /dev/null)
    t1=$(date +%s%N)
    (cd "$web/bin" && node --no-experimental-fetch plivak-capture.js --quiet "$@" --log "$work/web.log" \
        --wav "$work/web.wav" > /dev/null)
    t2=$(date +%s%N)
    echo "native $(((t1 - t0) / 1000000)) ms, wasm under node $(((t2 - t1) / 1000000)) ms," \
        "$(wc -l < "$work/native.log") frames"
    if cmp -s "$work/native.log" "$work/web.log"; then
        echo "logs identical"
    else
        echo "FAIL: the logs differ; first differing frames (< native, > wasm):"
        diff "$work/native.log" "$work/web.log" | head -n 8 || true
        failed=1
    fi
    if cmp -s "$work/native.wav" "$work/web.wav"; then
        echo "WAV identical"
    else
        echo "WAV differs (libopenmpt versions differ; frame timing does not depend on it)"
    fi
}

if [ $long -eq 1 ]; then
    compare_show "the whole show"
else
    # The seventeen parts end at 275.5 s; the key at 285 s ends the
    # closing part after its first seconds.
    compare_show "the seventeen parts and 9.5 s of the closing part" --seconds 285
fi

# The page engineer's real-browser test.
browser_test="$root/tests/web/browser.mjs"
if [ -f "$browser_test" ]; then
    echo "== browser test: $browser_test"
    if ! node "$browser_test" "$web" "$native"; then
        echo "FAIL: the browser test failed"
        failed=1
    fi
fi

exit $failed
