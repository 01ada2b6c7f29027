#!/usr/bin/env bash
# Runs one fuzz target for a bounded time on its seeds, its committed
# corpus (fuzz/corpus/NAME, grown by longer runs) and its saved crashes,
# and fails on any crash, leak, timeout or sanitizer report; the input that
# failed is shown again with the target's own output.
# Usage: run_target.sh FUZZER NAME WORK_DIR SECONDS [seed files...]
set -u
fuzzer=$1 name=$2 work=$3 seconds=$4
shift 4
here=$(cd "$(dirname "$0")" && pwd)
dir=$work/$name
mkdir -p "$dir/corpus" "$dir/seeds" "$dir/artifacts"
rm -f "$dir"/artifacts/*
cp "$here/seeds/$name"/* "$dir/seeds/" 2> /dev/null
cp "$here/corpus/$name"/* "$dir/seeds/" 2> /dev/null
cp "$here/corpus-regressions/$name"/* "$dir/seeds/" 2> /dev/null
for f in "$@"; do cp "$f" "$dir/seeds/" 2> /dev/null; done

options=(-max_total_time="$seconds" -malloc_limit_mb=64 -rss_limit_mb=1024 -timeout=10
         -close_fd_mask=3 -print_final_stats=1 -artifact_prefix="$dir/artifacts/")
[ -f "$here/$name.dict" ] && options+=(-dict="$here/$name.dict")
case $name in
    module) options+=(-max_len=16384) ;;
    xm_sync) options+=(-max_len=4096) ;;
    gz_image) options+=(-max_len=2048) ;;
    ray_texture | pcx) options+=(-max_len=70000) ;;
    scene3d) options+=(-max_len=24000) ;;
    *) options+=(-max_len=8192) ;;
esac

export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=1"
"$fuzzer" "${options[@]}" "$dir/corpus" "$dir/seeds" > "$dir/log" 2>&1
status=$?
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log" | tail -n 1)
cov=$(grep -o 'cov: [0-9]*' "$dir/log" | tail -n 1 | cut -d' ' -f2)
echo "fuzz $name: ${runs:-?} runs in $seconds s, ${cov:-?} edges covered, exit status $status" | tee "$dir/summary"
if [ $status -ne 0 ]; then
    tail -n 40 "$dir/log"
    for a in "$dir"/artifacts/*; do
        [ -f "$a" ] || continue
        echo "--- replaying $a"
        "$fuzzer" "$a" 2>&1 | tail -n 60
    done
    exit 1
fi
