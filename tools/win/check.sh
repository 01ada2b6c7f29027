#!/usr/bin/env bash
# The Windows build's checks under wine, run by ./test after
# tools/win/build.sh. Everything runs from the zip, unzipped into a folder
# whose path holds spaces and non-ASCII letters:
#  1. the same show: plivak-capture.exe and the native capture write the
#     same --log (every frame's step, beat, sync and picture CRC) for the
#     seventeen parts and the first seconds of the closing part; with
#     --long, the whole show. The WAV is compared and reported;
#  2. the capture's command line: --help (status 0, says that PNG and
#     video are left out), --png refused with status 2;
#  3. a missing data file: status 1 and, under verbose, the same line as
#     the native program, from plivak-capture.exe and plivak.exe;
#  4. the window under Xvfb: plivak.exe's window titled "morvelle - plivak'
#     effect" at 960x720, the opening's held picture on the screen, a key
#     ends it with status 0 (wine has no sound device here: the silent
#     path, whose clock must still reach the held picture on time);
#     --fullscreen under openbox fills the screen; --help exits 0;
#  5. nothing was written in the unzipped folder nor in the wine prefix's
#     drive_c but the files the capture's options named.
# Usage: tools/win/check.sh [--long] [BUILD_WIN] [NATIVE_BUILD]
#        (defaults build-win/ and build/ beside tools/)
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
long=0
if [ "${1:-}" = "--long" ]; then
    long=1
    shift
fi
win=$(cd "${1:-$root/build-win}" && pwd)
native=$(cd "${2:-$root/build}" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/plivak-win-check.XXXXXX")
xvfb="" demo="" wm=""
cleanup() {
    [ -n "$demo" ] && kill "$demo" 2> /dev/null
    [ -n "$wm" ] && kill "$wm" 2> /dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2> /dev/null
    rm -rf "$work"
}
trap cleanup EXIT
failed=0
fail() {
    echo "FAIL: $*"
    failed=1
}
wine_run() { "$root/tools/win/wine.sh" "$win" "$@"; }

wine_run --init
# The unzipped release, at an awkward path.
home="$work/Démo für Wine"
mkdir -p "$home"
unzip -q "$win/plivak-win64.zip" -d "$home"
app=$home/plivak-win64
bin=$app/bin
touch "$work/stamp"
sleep 1

# Runs both captures with the same options and compares the logs.
compare_show() {
    local what=$1
    shift
    echo "== same show: $what"
    local t0 t1 t2
    t0=$(date +%s%N)
    (cd "$native/bin" && ./plivak-capture --quiet "$@" --log "$work/native.log" --wav "$work/native.wav" > /dev/null)
    t1=$(date +%s%N)
    (cd "$bin" && wine_run plivak-capture.exe --quiet "$@" --log "$work/win.log" --wav "$work/win.wav" > /dev/null)
    t2=$(date +%s%N)
    echo "native $(((t1 - t0) / 1000000)) ms, under wine $(((t2 - t1) / 1000000)) ms," \
        "$(wc -l < "$work/native.log") frames"
    if cmp -s "$work/native.log" "$work/win.log"; then
        echo "logs identical"
    else
        fail "the logs differ; first differing frames (< native, > wine):"
        diff "$work/native.log" "$work/win.log" | head -n 8
    fi
    if cmp -s "$work/native.wav" "$work/win.wav"; then
        echo "WAV identical"
    else
        echo "WAV differs ($(cmp "$work/native.wav" "$work/win.wav" | head -n 1))"
    fi
}

if [ $long -eq 1 ]; then
    compare_show "the whole show"
else
    # The seventeen parts end at 275.5 s; the key at 285 s ends the
    # closing part after its first seconds.
    compare_show "the seventeen parts and 9.5 s of the closing part" --seconds 285
fi

echo "== the capture's command line"
(cd "$bin" && wine_run plivak-capture.exe --help) > "$work/help" 2>&1
status=$?
if [ $status -eq 0 ] && grep -q "no PNG and no video" "$work/help"; then
    echo "ok: --help, status 0, says PNG and video are left out"
else
    fail "capture --help: status $status"
fi
(cd "$bin" && wine_run plivak-capture.exe --png "$work/frames" --seconds 1) > /dev/null 2> "$work/err"
status=$?
if [ $status -eq 2 ] && grep -q "writes no pictures" "$work/err" && [ ! -e "$work/frames" ]; then
    echo "ok: --png refused with status 2"
else
    fail "capture --png: status $status: $(head -c 200 "$work/err")"
fi

# A data folder missing one picture that start-up loads (every .rgb file
# is), for the native program: its own tree. --seconds bounds the runs
# should start-up not fail.
missing=$(cd "$app/data" && ls | grep -m1 '\.rgb$')
mkdir -p "$work/native-tree/bin"
cp -r "$native/data" "$work/native-tree/data"
rm -f "$work/native-tree/data/$missing"
printf 'verbose\n' > "$work/verbose.cfg"
(cd "$work/native-tree/bin" && "$native/bin/plivak-capture" --quiet --seconds 2 --config "$work/verbose.cfg") \
    > /dev/null 2> "$work/native-missing.err"
native_line=$(grep "^cannot load" "$work/native-missing.err")
mv "$app/data/$missing" "$work/held-back"

echo "== a missing data file ($missing)"
(cd "$bin" && wine_run plivak-capture.exe --quiet --seconds 2 --config "$work/verbose.cfg") > /dev/null 2> "$work/err"
status=$?
line=$(grep "^cannot load" "$work/err" | tr -d '\r')
if [ $status -eq 1 ] && [ -n "$native_line" ] && [ "$line" = "$native_line" ]; then
    echo "ok: plivak-capture.exe: status 1, $line"
else
    fail "plivak-capture.exe without $missing: status $status, '$line' (native: '$native_line')"
fi

# ---- the window under Xvfb ----
source "$root/tests/e2e/own_display.sh"
window_checks() {
    local display=""
    start_own_display 140 180 1920x1080 "$work" || { fail "no free display"; return; }
    for _ in $(seq 50); do xdotool getmouselocation > /dev/null 2>&1 && break; sleep 0.1; done
    cd "$bin" || return

    echo "== plivak.exe"
    timeout 60 "$root/tools/win/wine.sh" "$win" plivak.exe --config "$work/verbose.cfg" > /dev/null 2> "$work/err"
    local status=$?
    local got
    got=$(grep "^cannot load" "$work/err" | tr -d '\r')
    if [ $status -eq 1 ] && [ "$got" = "$native_line" ]; then
        echo "ok: without $missing: status 1, $got"
    else
        fail "plivak.exe without $missing: status $status, '$got' (native: '$native_line')"
    fi
    mv "$work/held-back" "$app/data/$missing"

    wine_run plivak.exe --help > "$work/help" 2>&1
    status=$?
    if [ $status -eq 0 ] && grep -q -- "--fullscreen" "$work/help"; then
        echo "ok: --help, status 0"
    else
        fail "plivak.exe --help: status $status"
    fi

    # The opening part holds one picture from demo time 0.75 s to 2.0 s:
    # the native capture's frame of it, scaled as the window shows it.
    (cd "$native/bin" && ./plivak-capture --quiet --seconds 1.01 --from 1 --png "$work/frames") > /dev/null 2>&1
    local held=$work/frames/000060.png
    convert "$held" -filter point -resize 960x600\! -filter triangle -resize 960x720\! "$work/ref960.ppm"
    convert "$held" -filter point -resize 1280x1000\! -filter triangle -resize 1440x1080\! "$work/ref1440.ppm"

    # Under wine the window shows at its size with a window manager (without
    # one, wine's X window is not the demo's 960x720).
    if command -v openbox > /dev/null; then
        openbox > /dev/null 2>&1 &
        wm=$!
        sleep 1
        window_case "window" 960x720 960x720+0+0 "$work/ref960.ppm"
        window_case "--fullscreen" 1920x1080 1440x1080+240+0 "$work/ref1440.ppm" --fullscreen
        kill $wm 2> /dev/null
        wait $wm 2> /dev/null
        wm=""
    else
        echo "SKIP (window, --fullscreen): openbox is not installed"
    fi
    unset DISPLAY
}

# Starts plivak.exe with the given options, waits for its window, checks
# its title and size, compares screenshots of the opening with REF (at
# CROP of the window), ends it with a key and checks status 0.
window_case() {
    local what=$1 size=$2 crop=$3 ref=$4
    shift 4
    local started=$SECONDS window=""
    wine_run plivak.exe --config "$work/verbose.cfg" "$@" > "$work/run.log" 2>&1 &
    demo=$!
    for _ in $(seq 300); do
        window=$(xdotool search --onlyvisible --name "^morvelle - plivak' effect$" 2> /dev/null | tail -n 1)
        [ -n "$window" ] && break
        kill -0 $demo 2> /dev/null || break
        sleep 0.1
    done
    if [ -z "$window" ]; then
        fail "$what: no window titled \"morvelle - plivak' effect\""
        tail -n 5 "$work/run.log"
        kill $demo 2> /dev/null
        wait $demo 2> /dev/null
        demo=""
        return
    fi
    local got=""
    for _ in $(seq 50); do
        got=$(xdotool getwindowgeometry "$window" 2> /dev/null | sed -n 's/.*Geometry: //p')
        [ "$got" = "$size" ] && break
        sleep 0.1
    done
    [ "$got" = "$size" ] || fail "$what: window $got, expected $size"
    local x y
    read -r x y < <(xwininfo -id "$window" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF } END { print x, y }')
    set -- ${crop//[x+]/ }
    crop="$1x$2+$(($3 + x))+$(($4 + y))"
    # Screenshots over the first seconds of the show: one must be the held
    # picture (normalised RMSE below 2 %).
    local best=1 i rmse
    for i in $(seq 10 40); do
        timeout 5 import -window root "ppm:$work/shot.ppm" 2> /dev/null || continue
        rmse=$(compare -metric RMSE "$work/shot.ppm[$crop]" "$ref" null: 2>&1 | sed -n 's/.*(\(.*\)).*/\1/p')
        [ -n "$rmse" ] && awk -v a="$rmse" -v b="$best" 'BEGIN { exit !(a < b) }' && best=$rmse
        awk -v a="$best" 'BEGIN { exit !(a < 0.02) }' && break
        sleep 0.1
    done
    awk -v a="$best" 'BEGIN { exit !(a < 0.02) }' || fail "$what: no screenshot shows the held picture (best RMSE $best)"
    xdotool key --window "$window" space
    for _ in $(seq 100); do
        kill -0 $demo 2> /dev/null || break
        sleep 0.1
    done
    if kill -0 $demo 2> /dev/null; then
        fail "$what: still running 10 s after the key"
        kill $demo 2> /dev/null
    fi
    wait $demo
    local status=$?
    demo=""
    if [ $status -eq 0 ]; then
        echo "ok ($what): window $got, picture RMSE $best, status 0 after a key, $((SECONDS - started)) s;" \
            "$(grep -m1 -E "path|audio|sound|silent" "$work/run.log" | tr -d '\r')"
    else
        fail "$what: status $status"
        tail -n 5 "$work/run.log"
    fi
}

if command -v Xvfb > /dev/null && command -v xdotool > /dev/null && command -v compare > /dev/null; then
    window_checks
else
    echo "SKIP (window): Xvfb, xdotool or ImageMagick is not installed"
    mv "$work/held-back" "$app/data/$missing" 2> /dev/null
fi

echo "== nothing written outside what was asked"
written=$( (find "$home" -newer "$work/stamp" -type f; find "$win/wine/drive_c" -newer "$work/stamp" -type f \
    -not -path "*/drive_c/windows/*") | sed "s|^$work/||")
if [ -z "$written" ]; then
    echo "ok: the unzipped folder and drive_c are as they were"
else
    fail "files written:"
    echo "$written" | head -n 10
fi

exit $failed
