#!/usr/bin/env bash
# Moves one rule of what the program reads by one (a bound +1 or -1, a < to
# a <=, a count) and runs the tests of that rule: a mutant that no test
# fails on is a rule without a test. Each mutant of the table below is
# applied with sed to a scratch copy of the tree (never to the tree
# itself), built in the scratch copy's own build folder, and judged by the
# CTest labels named with it, one label after the other (the cheap unit
# tests first, the slow bad-data table last) until one fails; a mutant on
# the show's path that every label misses is then judged by the whole-show
# digest (label capture), when --capture is given.
#
# Usage: tools/mutants.sh [--scratch DIR] [--capture] [--list|--check] [ID...]
#   DIR       scratch copy and its build (default build-mutants/ beside
#             tools/; the first run configures and builds it in full)
#   --capture run the whole-show digest on the show-path mutants that the
#             labels missed (about a minute each)
#   --list    print the table and stop
#   --check   only see that every pattern still changes its file (seconds;
#             after moving code, run this and update the patterns)
#   ID...     only these mutants (default: all)
# Prints one line per mutant: ID, the rule's file:line, caught or MISSED,
# and the failing tests; also written to DIR/results.txt. A mutant whose
# pattern no longer matches the source is reported "not applied" (the code
# moved: update its pattern). Exits 1 when any mutant is missed.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
scratch=$root/build-mutants
capture=0
list=0
only=()
while [ $# -gt 0 ]; do
    case $1 in
        --scratch) scratch=$2; shift 2 ;;
        --capture) capture=1; shift ;;
        --list) list=1; shift ;;
        --check) list=2; shift ;;
        -h | --help) sed -n '2,23p' "$0"; exit 0 ;;
        *) only+=("$1"); shift ;;
    esac
done

IDS=() FILES=() LABELS=() SHOW=() EXPRS=() RULES=()
# mutant ID FILE LABELS SHOW SED RULE
#   LABELS: CTest labels joined with ',', run in turn until one catches it
#   SHOW:   show when the rule is on the show's path (the digest may judge it)
#   SED:    one sed expression that changes exactly the rule
mutant() {
    IDS+=("$1") FILES+=("$2") LABELS+=("$3") SHOW+=("$4") EXPRS+=("$5") RULES+=("$6")
}

# The configuration file.
mutant cfg-words-9 src/host/config.cpp host - 's/kMaxTokens = 8;/kMaxTokens = 9;/' "at most 8 words are read (9)"
mutant cfg-words-7 src/host/config.cpp host - 's/kMaxTokens = 8;/kMaxTokens = 7;/' "at most 8 words are read (7)"
mutant cfg-bytes-16383 src/host/config.cpp host - 's/kMaxConfigBytes = 16384;/kMaxConfigBytes = 16383;/' "at most 16 KiB of the file is read (-1)"
mutant cfg-regular src/host/config.cpp host - 's/!S_ISREG(st.st_mode)/S_ISDIR(st.st_mode)/' "only a regular file is read"
mutant cfg-cut-token src/host/config.cpp host - 's/if (!atEnd \&\& size == kMaxConfigBytes)/if (!atEnd \&\& size == kMaxConfigBytes \&\& false)/' "a word cut by the 16 KiB bound is dropped"
mutant cfg-vtab src/host/config.cpp host - "s/c == '\\\\v' || //" "vertical tab separates words"
mutant cfg-nul src/host/config.cpp host - "s/ || std::memchr(text + start, '\\\\0', length)//" "a word holding a NUL byte matches nothing"
mutant cfg-3d-order src/host/config.cpp host - '/SkipFinalPart = true;/{n;s/FinalPartOnly = false;//}' "no-more-3d clears an earlier i-am-a-sucker"

# The gzip stream and the image loader.
mutant gz-granularity src/data/gz_stream.cpp data - 's/kMinGranularity = 1024;/kMinGranularity = 1025;/' "granularity of at least 1024 bytes (1025)"
mutant gz-grow-steps src/data/gz_stream.cpp data - 's/(needed - capacity + granularity - 1) \/ granularity/(needed - capacity + granularity) \/ granularity/' "growth by whole granularity steps, rounded up"
mutant rgb-size src/data/image_loader.cpp data,badinput show 's/if (size \/ 3 < pixels)/if (size \/ 3 + 1 < pixels)/' "an image file holds width x height RGB pixels"
mutant pattern-size src/data/image_loader.cpp data,badinput show 's/if (buffer.length < count)/if (buffer.length + 1 < count)/' "a pattern file holds count bytes"

# PCX pictures.
mutant pcx-run-marker src/data/pcx.cpp data,badinput show 's/if (b >= 0xC0)/if (b > 0xC0)/' "bytes from 0xC0 start a run"
mutant pcx-run-length src/data/pcx.cpp data,badinput show 's/size_t run = b \& 0x3F;/size_t run = b \& 0x1F;/' "a run is up to 63 pixels long"
mutant pcx-palette src/data/pcx.cpp data,badinput show 's/end - in < 1 + 768/end - in < 768/' "a marker byte and 768 palette bytes follow the pixels"
mutant pcx-width src/data/pcx.cpp data,badinput show 's/readInt16Le(bytes + 4) + 1;/readInt16Le(bytes + 4) + 2;/' "width is xmax - xmin + 1"
mutant pcx-header src/data/pcx.cpp data,badinput show 's/bytes\[3\] != 8/bytes[3] < 8/' "8 bits per pixel"

# Shape outlines.
mutant shape-max src/data/shape.cpp data,badinput show 's/n > kMaxVertices/n >= kMaxVertices/' "at most 4096 vertices"
mutant shape-min src/data/shape.cpp data,badinput show 's/n <= 0 ||/n < 0 ||/' "at least one vertex"
mutant shape-finite src/data/shape.cpp data,badinput show 's/!std::isfinite(points\[i\].x) || //' "coordinates are finite"

# Ray scenes and textures.
mutant ray-objects src/raytracer/ray_scene.cpp raytracer,badinput show 's/if (n == kRayMaxObjects) {/if (n + 1 == kRayMaxObjects) {/' "at most 10 objects"
mutant ray-name src/raytracer/ray_scene.cpp raytracer,badinput show 's/length <= static_cast<size_t>(kRayTextureNameChars)/length < static_cast<size_t>(kRayTextureNameChars)/' "texture names of up to 255 characters"
mutant ray-ellipsoid src/raytracer/ray_scene.cpp raytracer,badinput show 's/readPlain<RayEllipsoid>(in, 11)/readPlain<RayEllipsoid>(in, 10)/' "an ellipsoid has 11 values"
mutant ray-texture-size src/raytracer/ray_scene.cpp raytracer,badinput show 's/kTextureHeader + kTexturePalette + kTexturePixels) return/kTextureHeader + kTexturePalette + kTexturePixels - 1) return/' "a texture holds header, palette and 256 x 256 pixels"
mutant ray-palette-scale src/raytracer/ray_scene.cpp raytracer,badinput show 's/\* 0.015625f;/* 0.0159f;/' "6-bit palette components, value / 64"

# The 3D scene file.
mutant scn-keys src/engine3d/scene_file.cpp engine3d,badinput show 's/if (count > kMaxKeys) {/if (count >= kMaxKeys) {/' "at most 32 keys in a track"
mutant scn-morph src/engine3d/scene_file.cpp engine3d,badinput show 's/h\[8\] > kMaxMorphTimes/h[8] >= kMaxMorphTimes/' "at most 1000 morph keys"
mutant scn-pairs src/engine3d/scene_file.cpp engine3d,badinput show 's/pairs > kMaxPairs/pairs >= kMaxPairs/' "at most 32 pairs"
mutant scn-header src/engine3d/scene_file.cpp engine3d,badinput show 's/if (value < 0 || value > limit) {/if (value < 0 || value >= limit) {/' "header counts up to their capacity"
mutant scn-index src/engine3d/scene_file.cpp engine3d,badinput show 's/index >= V))/index > V))/' "vertex indices below the vertex count"
mutant scn-slot src/engine3d/scene_file.cpp engine3d,badinput show 's/slot >= kUsableTextureSlots/slot > kUsableTextureSlots/' "texture slots 0..15"
mutant scn-last-segment src/engine3d/scene_file.cpp engine3d,badinput show 's/if (count >= 4 \&\& times\[count - 2\]/if (count >= 5 \&\& times[count - 2]/' "the last segment of a 4-key track has a length"
mutant scn-extra src/engine3d/scene_file.cpp engine3d,badinput show 's/static_cast<size_t>(h\[9\]) \* 12/static_cast<size_t>(h[9]) * 11/' "extra triples are 12 bytes each"

# The XM sync scanner and the row timing.
mutant xm-version src/platform/midas_core.cpp platform show 's/version < 0x0104/version < 0x0105/' "XM version 1.04 or later"
mutant xm-channels src/platform/midas_core.cpp platform show 's/channels > 64/channels > 63/' "at most 64 channels"
mutant xm-patterns src/platform/midas_core.cpp platform show 's/patterns > 256/patterns > 255/' "at most 256 patterns"
mutant xm-rows src/platform/midas_core.cpp platform show 's/0, 1024);/0, 1023);/' "rows per pattern clamped to 1024"
mutant xm-pattern-header src/platform/midas_core.cpp platform show 's/patHeader >= 9 /patHeader >= 10 /' "a pattern header of at least 9 bytes"
mutant xm-delay src/platform/midas_core.cpp platform show 's/delay = param \& 0x0F;/delay = param \& 0x07;/' "pattern delay EEx takes x of 0..15"
mutant xm-sync-effect src/platform/midas_core.cpp platform show 's/if (effect == kSyncEffect)/if (effect == kSyncEffect + 1)/' "effect W is the sync"
mutant xm-row-ticks src/platform/midas_core.cpp platform show 's/return speed \* (1 + delay);/return speed * (2 + delay);/' "a row lasts speed x (1 + delay) ticks"
mutant xm-tick-frames src/platform/midas_core.cpp platform show 's/kSampleRate \* 5 \/ (2 \* tempo)/kSampleRate * 5 \/ (2 * tempo + 1)/' "a tick is 2.5 / tempo seconds"

# Key tracks.
mutant key-last-segment src/engine3d/key_tracks.cpp engine3d show 's/int hi = n - 3;/int hi = n - 2;/' "the last segment searched is n-3"
mutant key-first-segment src/engine3d/key_tracks.cpp engine3d show 's/int lo = 1;/int lo = 2;/' "the first segment searched is 1"
mutant key-search src/engine3d/key_tracks.cpp engine3d show 's/times\[mid\]) < t)/times[mid]) <= t)/' "a key time belongs to the segment it ends"
mutant key-min-keys src/engine3d/key_tracks.cpp engine3d show '0,/n < 4 ||/s/n < 4 ||/n < 3 ||/' "tracks of fewer than 4 keys are constant"
mutant key-start src/engine3d/key_tracks.cpp engine3d show '0,/t <= static_cast<float>(times\[0\])/s/t <= static_cast<float>(times\[0\])/t < static_cast<float>(times[0])/' "at or before the first time, the first key"
mutant key-tangent src/engine3d/key_tracks.cpp engine3d show 's/const float a = (k2 - k0) \* 0.5f;/const float a = (k2 - k1) * 0.5f;/' "the tangent at a key spans its neighbours"
mutant key-hermite src/engine3d/key_tracks.cpp engine3d show 's/w.h3 = s3 - 2.0f \* s2 + s;/w.h3 = s3 - 2.0f * s2;/' "the Hermite weight of the start tangent"
mutant key-morph-min src/engine3d/key_tracks.cpp engine3d show 's/|| n < 2 ||/|| n < 3 ||/' "a morph needs 2 frames"

if [ $list -eq 1 ]; then
    for i in "${!IDS[@]}"; do printf '%-20s %-34s %-22s %s\n' "${IDS[$i]}" "${FILES[$i]}" "${LABELS[$i]}" "${RULES[$i]}"; done
    exit 0
fi
if [ $list -eq 2 ]; then
    stale=0
    for i in "${!IDS[@]}"; do
        if sed -e "${EXPRS[$i]}" "$root/${FILES[$i]}" | cmp -s - "$root/${FILES[$i]}"; then
            echo "not applied: ${IDS[$i]} (${FILES[$i]}: ${RULES[$i]})"
            stale=$((stale + 1))
        fi
    done
    echo "${#IDS[@]} mutants, $stale not applied"
    [ $stale -eq 0 ]
    exit $?
fi

wanted() {
    [ ${#only[@]} -eq 0 ] && return 0
    local o
    for o in "${only[@]}"; do [ "$o" = "$1" ] && return 0; done
    return 1
}

# The scratch copy: every tracked or new file of the tree but the fuzz
# corpora (only the fuzz replay reads them), copied only when
# it differs, so the scratch build rebuilds what changed and nothing else.
tree=$scratch/tree
build=$tree/build
mkdir -p "$tree"
copied=0
while IFS= read -r -d '' f; do
    [ -f "$root/$f" ] || continue
    if ! cmp -s "$root/$f" "$tree/$f"; then
        mkdir -p "$(dirname "$tree/$f")"
        cp "$root/$f" "$tree/$f"
        copied=$((copied + 1))
    fi
done < <(git -C "$root" ls-files -co --exclude-standard -z -- . ':!fuzz/corpus' ':!fuzz/corpus-regressions')
echo "scratch copy: $copied file(s) updated in $tree"
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$tree" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPLIVAK_WERROR=ON -DPLIVAK_TESTS=ON \
        -DPLIVAK_BENCH=OFF -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache \
        > "$scratch/configure.log" 2>&1 || { echo "configure failed: $scratch/configure.log"; exit 2; }
fi
nice -n 10 cmake --build "$build" -j2 > "$scratch/build.log" 2>&1 || { echo "the unmutated tree does not build: $scratch/build.log"; exit 2; }

# The test programs a label needs, and the programs they run.
targets_of() {
    local label t=()
    for label in ${1//,/ }; do
        case $label in
            badinput) t+=(test_badinput plivak-capture) ;;
            capture) t+=(test_capture plivak-capture) ;;
            *) t+=("test_$label") ;;
        esac
    done
    echo "${t[@]}"
}

# Runs the tests of LABELS; prints the failing tests' names, returns 1 when
# any fails.
run_labels() {
    local labels=$1 out
    out=$(cd "$build" && nice -n 10 ctest -j2 --timeout 600 -L "^(${labels//,/|})\$" 2>&1)
    if [ $? -ne 0 ]; then
        echo "$out" | sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) (.*/\1/p' | sort -u | head -3 | paste -sd' '
        return 1
    fi
    return 0
}

results=$scratch/results.txt
: > "$results"
missed=0
for i in "${!IDS[@]}"; do
    id=${IDS[$i]}
    wanted "$id" || continue
    file=${FILES[$i]}
    cp "$tree/$file" "$scratch/pristine"
    sed -i -e "${EXPRS[$i]}" "$tree/$file"
    line=$(cmp "$scratch/pristine" "$tree/$file" 2>/dev/null | sed -n 's/.* line \([0-9]*\)$/\1/p')
    if [ -z "$line" ]; then
        verdict="not applied"
        by="(pattern not found)"
    elif ! nice -n 10 cmake --build "$build" -j2 --target $(targets_of "${LABELS[$i]}") > "$scratch/mutant.log" 2>&1; then
        verdict="no build"
        by="(see a run of this mutant alone)"
    else
        verdict=MISSED
        by="(labels ${LABELS[$i]})"
        for label in ${LABELS[$i]//,/ }; do
            if ! tests=$(run_labels "$label"); then
                verdict=caught
                by=$tests
                break
            fi
        done
    fi
    if [ "$verdict" = MISSED ]; then
        if [ $capture -eq 1 ] && [ "${SHOW[$i]}" = show ]; then
            if nice -n 10 cmake --build "$build" -j2 --target $(targets_of capture) > "$scratch/mutant.log" 2>&1 &&
                ! run_labels capture > /dev/null; then
                verdict=caught
                by="FullShow digest"
            fi
        fi
    fi
    [ "$verdict" = caught ] || missed=$((missed + 1))
    cp "$scratch/pristine" "$tree/$file"  # a new time stamp: rebuilt next time
    printf '%-20s %-38s %-11s %s\n' "$id" "$file:${line:-?}" "$verdict" "$by" | tee -a "$results"
done
# Leave the scratch build unmutated.
nice -n 10 cmake --build "$build" -j2 > /dev/null 2>&1
echo "$missed mutant(s) not caught; table in $results"
[ $missed -eq 0 ]
