#!/usr/bin/env bash
# Seek latency of the native program, measured in the capture (the same
# seek code as the window: restore the chapter point, render the music
# silently to it, pre-roll the parts muted to the frame). For every step: a
# seek to its chapter point (its first frame) and to its last frame, the
# farthest any moment of it is from a chapter point; in the closing part,
# to the frame before one of its 10 s points. Each figure is the time from
# the restore to the frame, wall and CPU, and the pre-rolled demo time as a
# multiple of real time (demo seconds per second of seeking).
#
# Usage: bench/seek.sh [BUILD_DIR]     (default: build; needs its chapter
#        file data/chapters.dat and the whole-show log chapters_show.log)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")
log=$build/chapters_show.log
[ -s "$log" ] && [ -s "$build/data/chapters.dat" ] || { echo "no chapter file in $build: build it first"; exit 1; }
cd "$build/bin"

# The first frame of each step, from the whole show's log.
declare -A first
while read -r step frame; do first[$step]=$frame; done < <(
    sed -n 's/^frame=\([0-9]*\) .* step=\([0-9]*\) .*/\2 \1/p' "$log" | awk '!seen[$1]++')
last_frame=$(($(wc -l < "$log") - 1))

# seek FRAME -> "wall cpu preroll"
seek() {
    local from to
    from=$(awk -v f="$1" 'BEGIN { printf "%.6f", f / 60 }')
    to=$(awk -v f="$1" 'BEGIN { printf "%.6f", (f + 1) / 60 }')
    ./plivak-capture --timing --from "$from" --to "$to" 2> /dev/null |
        awk -F= '/^seek_s=/ { w = $2 } /^seek_cpu_s=/ { c = $2 } /^seek_preroll_s=/ { p = $2 } END { print w, c, p }'
}

printf '%-5s %-26s %-16s %-34s\n' step "to its start: wall / cpu s" "" "to its last frame: wall / cpu s, pre-roll, x real"
worst_start=0
worst_any=0
worst_start_cpu=0
worst_any_cpu=0
for step in $(seq 1 18); do
    start=${first[$step]:-}
    [ -n "$start" ] || continue
    if [ "$step" -lt 18 ]; then end=$((${first[$((step + 1))]} - 1)); else end=$((start + 599)); fi
    read -r w1 c1 _ < <(seek "$start")
    read -r w2 c2 p2 < <(seek "$end")
    x=$(awk -v p="$p2" -v w="$w2" 'BEGIN { printf "%.0f", (w > 0) ? p / w : 0 }')
    printf '%-5s %-26s %-16s %s / %s s, %s s, %sx\n' "$step" "$w1 / $c1" "" "$w2" "$c2" "$p2" "$x"
    worst_start=$(awk -v a="$worst_start" -v b="$w1" 'BEGIN { print ((b > a) ? b : a) }')
    worst_start_cpu=$(awk -v a="$worst_start_cpu" -v b="$c1" 'BEGIN { print ((b > a) ? b : a) }')
    if [ "$step" -lt 18 ]; then
        worst_any=$(awk -v a="$worst_any" -v b="$w2" 'BEGIN { print ((b > a) ? b : a) }')
        worst_any_cpu=$(awk -v a="$worst_any_cpu" -v b="$c2" 'BEGIN { print ((b > a) ? b : a) }')
    fi
done
# Inside the closing part: before its points at 10 s and 300 s, and its last frame.
for k in 1 30; do
    read -r w c p < <(seek $((${first[18]} + 600 * k - 2)))
    echo "closing part, $((10 * k)) s in, the frame before its point: $w / $c s, pre-roll $p s"
done
read -r w c p < <(seek "$last_frame")
echo "closing part, its last frame: $w / $c s, pre-roll $p s"
echo "worst seek to a chapter start: $worst_start s wall, $worst_start_cpu s CPU (goal 0.2 s)"
echo "worst seek to any moment of the 17 parts: $worst_any s wall, $worst_any_cpu s CPU (goal 1 s)"
