#!/usr/bin/env bash
# Makes the README's picture: one characteristic frame of each of the 18
# steps of the show, labelled with the step's name, on one sheet.
#
# Usage: tools/capture/show_sheet.sh [BUILD_DIR [OUT.png]]
#   BUILD_DIR  a built tree with bin/plivak-capture and data/ (default: build)
#   OUT.png    default: docs/show.png
#
# Rerun it whenever the show's pictures change. It captures the whole show
# once (a frame every half second), picks from each step the frame at that
# step's point below (a fraction of the way through the step, chosen where
# its effect is in full swing rather than in a fade or a held frame), and
# lays the frames out with ImageMagick's montage, 6 by 3.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath "${1:-$root/build}")
out=$(realpath -m "${2:-$root/docs/show.png}")
command -v montage > /dev/null || { echo "show_sheet: needs ImageMagick's montage (apt-get install imagemagick)" >&2; exit 1; }
work=$(mktemp -d /tmp/plivak_sheet_XXXXXX)
trap 'rm -rf "$work"' EXIT

(cd "$build/bin" && ./plivak-capture --quiet --log "$work/log" --png "$work/png" --every 30 > /dev/null 2>&1)

names=("" "opening blinds" "warped ribbons" "banner cube" "dot cube" "portrait parade" "atom" "text plane"
    "blob layers" "greetings" "studio" "spinning curve" "wandering maps" "spline snake" "final scene"
    "gadget parade" "wave logo" "centre smear" "final 3d")
# How far into each step its frame is taken.
points=(0 0.17 0.35 0.55 0.5 0.4 0.5 0.5 0.5 0.5 0.5 0.5 0.5 0.5 0.5 0.5 0.4 0.1 0.1)

# First and last frame of each step, from the log.
awk '{ split($1, f, "="); split($3, st, "=");
       if (!(st[2] in first)) first[st[2]] = f[2]; last[st[2]] = f[2] }
     END { for (k in first) print k, first[k], last[k] }' "$work/log" > "$work/steps"

args=()
for step in $(seq 1 18); do
    read -r first last < <(awk -v s="$step" '$1 == s { print $2, $3 }' "$work/steps")
    [ -n "${first:-}" ] || { echo "show_sheet: step $step is not in the capture" >&2; exit 1; }
    frame=$(awk -v a="$first" -v b="$last" -v p="${points[$step]}" \
        'BEGIN { f = int((a + (b - a) * p) / 30) * 30; if (f < a) f += 30; print f }')
    png=$(printf '%s/png/%06d.png' "$work" "$frame")
    [ -f "$png" ] || { echo "show_sheet: no frame $frame for step $step" >&2; exit 1; }
    args+=(-label "$step  ${names[$step]}" "$png")
done
montage "${args[@]}" -tile 6x3 -geometry 240x150+2+2 -background '#101010' -fill '#e0e0e0' \
    -font DejaVu-Sans -pointsize 12 "$work/full.png"
# 64 colours without dithering keep the sheet well under 300 KB (dithered
# noise would triple it).
montage "$work/full.png" -tile 1x1 -geometry +0+0 -dither None -colors 64 -depth 8 -strip "$work/sheet.png"
mkdir -p "$(dirname "$out")"
mv "$work/sheet.png" "$out"
size=$(stat -c %s "$out")
echo "show_sheet: $out ($size bytes)"
[ "$size" -le 307200 ] || { echo "show_sheet: larger than 300 KB" >&2; exit 1; }
