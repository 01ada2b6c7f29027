#!/usr/bin/env bash
# Runs every benchmark program and the timed capture of the whole show, and
# prints one summary. Usage: bench/run_all.sh BUILD_DIR
set -euo pipefail
build=$1
out=$build/bench-results
mkdir -p "$out"
for b in "$build"/bin/bench_*; do
    [ -x "$b" ] || continue
    name=$(basename "$b")
    echo "== $name"
    "$b" --benchmark_min_time=0.2 --benchmark_format=console --benchmark_out="$out/$name.json" \
         --benchmark_out_format=json 2>&1 | grep -v '^\*\*\*' || true
done
echo "== timed capture of the whole show (plivak-capture --timing)"
(cd "$build/bin" && /usr/bin/time -f "wall_s=%e cpu_s=%U" ./plivak-capture --timing) 2>&1 | tee "$out/capture_timing.txt"
