#!/usr/bin/env bash
# Rewrites tests/capture/show_digest.txt from a fresh whole-show capture:
# per step its frame count and a CRC-32 of its frames' picture CRCs, and the
# CRC-32 of the 44.1 kHz WAV. Run it only when a commit means to change a
# picture or the music, and commit the new digest with that change; any
# other change must leave the digest as it is (the full-show test,
# FullShow.PlaysEveryStepToTheEnd, fails on a difference).
# Usage: tools/update_show_digest.sh [BUILD_DIR]   (default: build, a
# configured build with PLIVAK_TESTS=ON)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
digest="$root/tests/capture/show_digest.txt"
cmake --build "$build" --target plivak-capture plivak_data_files test_capture
PLIVAK_WRITE_SHOW_DIGEST="$digest" "$build/bin/test_capture" --gtest_filter='FullShow.*'
git -C "$root" diff --stat -- "$digest"
