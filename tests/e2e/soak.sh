#!/usr/bin/env bash
# A long run of the capture build: the whole show (or up to a key at the
# given demo time, with the given plivak.cfg words), in a scratch tree
# whose data folder is the build's. Fails on a non-zero exit status, on any
# sanitizer report and on any capacity overflow line of the 3D pipeline.
# Usage: soak.sh BIN_DIR [SECONDS|all] [config words...]
set -u
bin_dir=$(cd "$1" && pwd)
seconds=${2:-all}
shift 2 2> /dev/null || shift $#
root=$(mktemp -d /tmp/plivak-soak-XXXXXX)
trap 'rm -rf "$root"' EXIT
mkdir "$root/bin"
ln -s "$bin_dir/../data" "$root/data"
echo "$*" > "$root/bin/plivak.cfg"
args=(--log "$root/show.log")
[ "$seconds" != all ] && args+=(--seconds "$seconds")
cd "$root/bin"
start=$(date +%s)
"$bin_dir/plivak-capture" "${args[@]}" > "$root/out" 2> "$root/err"
status=$?
end=$(date +%s)
frames=$(wc -l < "$root/show.log")
last=$(tail -n 1 "$root/show.log" | cut -d' ' -f2,3)
echo "soak ($seconds, cfg: ${*:-none}): $frames frames, last $last, $((end - start)) s wall, exit status $status"
bad=0
if grep -E "pipeline overflow|polys overflow|verts overflow" "$root/out"; then bad=1; fi
if grep -E "ERROR: AddressSanitizer|runtime error:|ERROR: LeakSanitizer" "$root/err"; then
    grep -A 30 -E "ERROR: AddressSanitizer|runtime error:|ERROR: LeakSanitizer" "$root/err" | head -n 60
    bad=1
fi
[ $status -eq 0 ] && [ $bad -eq 0 ]
