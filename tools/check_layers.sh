#!/usr/bin/env bash
# Keeps the includes of src/ in the layer order of docs/ARCHITECTURE.md:
#
#   platform < gfx2d < data < raytracer < engine3d < stage < parts < host
#
# Every folder has a rank of its own and there is no exemption. A file
# under src/LAYER may include (with quotes, "FOLDER/name.h"):
#   - any header of its own folder;
#   - headers of a lower layer;
#   - of src/platform, only the seam: platform/ptc.h, platform/display.h
#     (the window settings), platform/midas.h and platform/show_clock.h
#     (seek and pause);
#   - nothing outside src/.
# So the parts use the stage (present, clock, key poll, beat waits, shared
# objects) and never the program's top (src/host), which runs them.
# SDL and libopenmpt headers are included only under src/platform.
#
# Usage: tools/check_layers.sh [SRC_DIR]     (default: src beside tools/)
#        tools/check_layers.sh --self-test   (each rule catches its fault)
# Prints one line per offending include and exits 1 when there is any.
set -uo pipefail

declare -A RANK=([platform]=0 [gfx2d]=1 [data]=2 [raytracer]=3 [engine3d]=4 [stage]=5 [parts]=6 [host]=7)

# Sets WHY to the reason a file of layer FROM may not include TARGET (a
# quoted include), or to nothing when it may.
verdict() {
    local from=$1 target=$2
    local to=${target%%/*}
    WHY=
    if [ "$to" = "$target" ] || [ -z "${RANK[$to]:-}" ]; then
        WHY="includes \"$target\", which is not a header of src/"
        return
    fi
    [ "$to" = "$from" ] && return
    if [ "$to" = platform ]; then
        case $target in
            platform/ptc.h | platform/display.h | platform/midas.h | platform/show_clock.h) ;;
            *) WHY="includes \"$target\": only platform/ptc.h, platform/display.h, platform/midas.h and platform/show_clock.h are the platform's seam" ;;
        esac
        return
    fi
    local rf=${RANK[$from]:-0} rt=${RANK[$to]}
    [ "$rt" -lt "$rf" ] && return
    WHY="includes \"$target\": $to is not below $from"
}

check_tree() {
    local src=$1 faults=0 line file rel from number text target
    while IFS= read -r line; do
        file=${line%%:*}
        line=${line#*:}
        number=${line%%:*}
        text=${line#*:}
        rel=${file#"$src"/}
        from=${rel%%/*}
        if [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*[\<\"](SDL[^\>\"]*|libopenmpt/[^\>\"]*)[\>\"] ]]; then
            if [ "$from" != platform ]; then
                echo "src/$rel:$number: includes ${BASH_REMATCH[1]}, which only src/platform may"
                faults=$((faults + 1))
            fi
            continue
        fi
        [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]] || continue
        target=${BASH_REMATCH[1]}
        verdict "$from" "$target"
        if [ -n "$WHY" ]; then
            echo "src/$rel:$number: $WHY"
            faults=$((faults + 1))
        fi
    done < <(grep -rn --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include' "$src" | sort -t: -k1,1 -k2,2n)
    if [ "$faults" -gt 0 ]; then
        echo "$faults include(s) against the layer order"
        return 1
    fi
    return 0
}

# Each rule on a small tree of its own: a clean tree passes, and every
# single offending include is reported.
self_test() {
    local tmp failed=0
    tmp=$(mktemp -d)
    trap 'rm -rf "$tmp"' RETURN
    mkdir -p "$tmp"/src/{platform,gfx2d,data,raytracer,engine3d,stage,parts,host}
    printf '#include <SDL.h>\n#include "platform/midas_internal.h"\n' > "$tmp/src/platform/ptc_sdl.cpp"
    printf '#include "gfx2d/colour.h"\n#include <vector>\n' > "$tmp/src/gfx2d/sprite.cpp"
    printf '#include "gfx2d/sprite.h"\n' > "$tmp/src/data/shape.cpp"
    printf '#include "data/text_scanner.h"\n' > "$tmp/src/raytracer/ray_scene.cpp"
    printf '#include "gfx2d/lines.h"\n#include "raytracer/ray_vec.h"\n' > "$tmp/src/engine3d/snake.cpp"
    printf '#include "platform/ptc.h"\n' > "$tmp/src/stage/present.cpp"
    printf '#include "stage/stage.h"\n#include "raytracer/ray_scene.h"\n' > "$tmp/src/parts/atom.cpp"
    printf '#include "parts/parts.h"\n#include "stage/stage.h"\n#include "platform/ptc.h"\n  #  include "platform/midas.h"\n' > "$tmp/src/host/timeline.cpp"
    if ! check_tree "$tmp/src" > "$tmp/out"; then
        echo "self-test: a clean tree was refused:"
        cat "$tmp/out"
        failed=1
    fi
    local cases=(
        'data/image_bank.cpp|#include "host/host.h"'
        'data/image_loader.cpp|#include "raytracer/ray_scene.h"'
        'gfx2d/lines.cpp|#include "data/shape.h"'
        'raytracer/ray_trace.cpp|#include "engine3d/scene.h"'
        'engine3d/pipeline.cpp|#include "stage/stage.h"'
        'parts/atom.cpp|#include "host/host.h"'
        'parts/parts.h|#include "host/timeline.h"'
        'stage/present.cpp|#include "parts/parts.h"'
        'stage/stage.h|#include "host/host.h"'
        'platform/ptc_common.cpp|#include "gfx2d/colour.h"'
        'host/music.cpp|#include "platform/midas_internal.h"'
        'parts/atom.cpp|#include "gen/pic_table.h"'
        'host/present.cpp|#include <SDL2/SDL.h>'
        'parts/studio.cpp|#include <libopenmpt/libopenmpt.h>'
        'gfx2d/warp.h|  # include "engine3d/scene.h"'
    )
    local c file text
    for c in "${cases[@]}"; do
        file=${c%%|*}
        text=${c#*|}
        cp -a "$tmp/src" "$tmp/case"
        printf '%s\n' "$text" >> "$tmp/case/$file"
        if check_tree "$tmp/case" > "$tmp/out"; then
            echo "self-test: not caught: $text in src/$file"
            failed=1
        elif ! grep -q "^src/$file:" "$tmp/out"; then
            echo "self-test: $text in src/$file reported elsewhere:"
            cat "$tmp/out"
            failed=1
        fi
        rm -rf "$tmp/case"
    done
    [ $failed -eq 0 ] && echo "self-test: ${#cases[@]} faults caught, clean tree passes"
    return $failed
}

if [ "${1:-}" = --self-test ]; then
    self_test
    exit $?
fi
src=${1:-$(cd "$(dirname "$0")/.." && pwd)/src}
check_tree "$src"
