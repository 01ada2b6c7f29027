#!/usr/bin/env bash
# Line and branch coverage of src/ by the test suite.
# Usage: tools/coverage.sh [BUILD_DIR]     (default: build-coverage)
#
# Builds the tree with gcc's --coverage in its own folder (Debug-like -O1,
# no ccache, so the counters match the sources), runs every CTest case
# (unit suites, parts, bad data, captures and the replay of every fuzz
# corpus) in parallel, then the real-window test alone when Xvfb and
# xdotool are installed (it is the only case that drives the SDL window
# and main), then prints one line per file of src/:
#     src/data/pcx.cpp lines 95.7% branches 91.2%
# and a last line "total lines L% branches B%". Branches that only throw,
# and those gcc marks as unreachable, are left out. gcovr comes from
# Debian's archive and is installed when missing.
# The whole run takes about 20 minutes on two cores (a third of it the tests).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=$(realpath -m "${1:-$root/build-coverage}")

if ! command -v gcovr > /dev/null; then
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends gcovr
fi

mkdir -p "$build_dir"
# No inlining: an inlined copy of a header function gets branch counters
# of its own at every call site, so a condition that one site can never
# make true (a null check where the pointer is known to be set) would
# count as a missed branch once per site. Out of line, each condition of
# the source is counted once, over every caller.
flags="-O1 -fno-inline -g --coverage -fprofile-update=prefer-atomic"
CC=gcc CXX=g++ "$root/tools/setup.sh" "$build_dir" -- \
    -DCMAKE_BUILD_TYPE=Coverage -DCMAKE_C_FLAGS_COVERAGE="$flags" -DCMAKE_CXX_FLAGS_COVERAGE="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS_COVERAGE=--coverage -DCMAKE_SHARED_LINKER_FLAGS_COVERAGE=--coverage \
    -DCMAKE_C_COMPILER_LAUNCHER= -DCMAKE_CXX_COMPILER_LAUNCHER= \
    -DPLIVAK_TESTS=ON -DPLIVAK_BENCH=OFF -DPLIVAK_WERROR=OFF -DPLIVAK_SANITIZE=OFF -DPLIVAK_FUZZ=OFF \
    > "$build_dir/coverage-build.log" 2>&1 || {
    tail -n 40 "$build_dir/coverage-build.log"
    exit 1
}

# Counters of an earlier run would add up with this one's.
find "$build_dir" -name '*.gcda' -delete
ctest --test-dir "$build_dir" -E '^window_end_to_end$' -j"$(nproc)" > "$build_dir/coverage-ctest.log" 2>&1 ||
    echo "coverage: some tests failed (see $build_dir/coverage-ctest.log); the figures count what ran" >&2
# The window test times its cases, so it runs with nothing else beside it;
# without Xvfb it skips itself and the SDL window code counts as unrun.
ctest --test-dir "$build_dir" -R '^window_end_to_end$' > "$build_dir/coverage-window.log" 2>&1 ||
    echo "coverage: the window test failed (see $build_dir/coverage-window.log); the figures count what ran" >&2

summary=$build_dir/coverage-summary.json
gcovr --root "$root" --object-directory "$build_dir" --filter "$root/src/" \
      --exclude-throw-branches --exclude-unreachable-branches -j "$(nproc)" \
      --json-summary "$summary" > /dev/null
python3 - "$summary" <<'EOF'
import json, sys

s = json.load(open(sys.argv[1]))

def pct(covered, total):
    return "%.1f%%" % (100.0 * covered / total) if total else "-"

for f in sorted(s["files"], key=lambda f: f["filename"]):
    print("%s lines %s branches %s" % (f["filename"], pct(f["line_covered"], f["line_total"]),
                                       pct(f["branch_covered"], f["branch_total"])))
print("total lines %s branches %s" % (pct(s["line_covered"], s["line_total"]),
                                      pct(s["branch_covered"], s["branch_total"])))
EOF
