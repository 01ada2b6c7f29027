#!/usr/bin/env bash
# The real demo in a real window under Xvfb (1920x1080), ended every way a
# viewer or the system can end it: a key press, SIGTERM, SIGINT, the window
# destroyed, the window's client killed by the X server, and a key on a
# machine without an audio device (the music then plays silently). Each
# way must end the demo within 5 s with exit status 0.
#
# Then the command line (--help, --version, a bad option), no display at
# all (status 1 at once, with its line), fullscreen refused without a
# window manager, and with openbox running: desktop fullscreen from the
# option and from plivak.cfg, --window over the file, and both renderers.
# Screenshots are compared with a capture frame of the same moment scaled
# the same way (ImageMagick), which needs a held frame: the opening part
# shows one picture from demo time 0.75 s to 2.0 s while it waits for a
# beat.
set -u
bin_dir=$1
for tool in Xvfb xdotool; do
    command -v "$tool" > /dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
demo=""
wm=""
scratch=$(mktemp -d /tmp/plivak-window-XXXXXX)
xvfb=""
trap '[ -n "$xvfb" ] && kill $xvfb 2> /dev/null; [ -n "$demo" ] && kill $demo 2> /dev/null; [ -n "$wm" ] && kill $wm 2> /dev/null; rm -rf "$scratch"' EXIT
# A display of our own.
source "$(dirname "$0")/own_display.sh"
start_own_display 90 130 1920x1080 "$scratch" || { echo "no free display"; exit 1; }
for _ in $(seq 50); do xdotool getmouselocation > /dev/null 2>&1 && break; sleep 0.1; done

cd "$bin_dir"
failures=0
# Job control: a background job of a script otherwise starts with SIGINT
# ignored, and a signal the process never sees tests nothing.
set -m

log=$scratch/plivak.log
# Starts the demo (extra environment, then "--" and options, as arguments)
# and waits for its window to be shown; $window is the X window first shown.
start_demo() {
    local vars=()
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do vars+=("$1"); shift; done
    [ $# -gt 0 ] && shift
    # Xvfb resets when its last client leaves (as after the X client is
    # killed), and a client that connects during the reset finds no display:
    # the demo then says so and exits. Start it once more in that case.
    local attempt
    for attempt in 1 2; do
        env "${vars[@]}" ./plivak "$@" > "$log" 2>&1 &
        demo=$!
        window=""
        for _ in $(seq 100); do
            window=$(xdotool search --onlyvisible --name "^morvelle - plivak' effect$" 2> /dev/null | head -n 1)
            [ -n "$window" ] && break
            kill -0 $demo 2> /dev/null || break
            sleep 0.1
        done
        [ -n "$window" ] && break
        kill -0 $demo 2> /dev/null && break
        grep -q "no display to open a window on" "$log" || break
        wait $demo 2> /dev/null
        sleep 0.5
    done
    [ -n "$window" ]
}

# The demo makes its window once: the window first shown is still the only
# X window with its title, and still shown.
same_window() {
    local shown all
    shown=$(xdotool search --onlyvisible --name "^morvelle - plivak' effect$" 2> /dev/null | tr '\n' ' ')
    all=$(xdotool search --name "^morvelle - plivak' effect$" 2> /dev/null | tr '\n' ' ')
    [ "$shown" = "$window " ] && [ "$all" = "$window " ] && return 0
    echo "FAIL ($1): the window first shown was $window; now shown: ${shown:-none}; with the title: ${all:-none}"
    return 1
}

# Waits up to 5 s for the demo to end and checks its exit status.
expect_clean_end() {
    local what=$1
    for _ in $(seq 50); do
        kill -0 $demo 2> /dev/null || break
        sleep 0.1
    done
    if kill -0 $demo 2> /dev/null; then
        echo "FAIL ($what): the demo still runs 5 s later"
        kill -9 $demo 2> /dev/null
        wait $demo 2> /dev/null
        failures=$((failures + 1))
        return
    fi
    wait $demo
    local status=$?
    demo=""
    if [ $status -eq 0 ]; then
        echo "ok ($what): exit status 0"
    else
        echo "FAIL ($what): exit status $status"
        tail -n 5 "$log"
        failures=$((failures + 1))
    fi
}

run_case() {
    local what=$1 action=$2
    shift 2
    if ! start_demo "$@"; then
        echo "FAIL ($what): no window titled \"morvelle - plivak' effect\""
        tail -n 5 "$log"
        failures=$((failures + 1))
        kill $demo 2> /dev/null
        wait $demo 2> /dev/null
        return
    fi
    sleep 1
    same_window "$what" || failures=$((failures + 1))
    case $action in
        key) xdotool key --window "$window" space ;;
        term) kill -TERM $demo ;;
        int) kill -INT $demo ;;
        close) xdotool windowclose "$window" ;;
        kill) xdotool windowkill "$window" ;;
        later-key) sleep 2; xdotool key --window "$window" space ;;
    esac
    expect_clean_end "$what"
}

run_case "key" key
run_case "SIGTERM" term
run_case "SIGINT" int
run_case "window destroyed" close
run_case "X client killed" kill
run_case "no audio device" later-key SDL_AUDIODRIVER=no-such-driver

fail() {
    echo "FAIL ($1)"
    failures=$((failures + 1))
}

# ---- the explore mode: pause, chapters and frame steps keep the demo
# running (other keys do nothing), Q ends it ----
if start_demo -- --explore --step 6; then
    sleep 1
    for k in space Right period period comma space Left a; do
        xdotool key --window "$window" "$k"
        sleep 0.4
    done
    if kill -0 $demo 2> /dev/null; then echo "ok (explore keys): the demo goes on"; else fail "explore keys ended the demo"; tail -n 5 "$log"; fi
    xdotool key --window "$window" q
    expect_clean_end "explore, Q"
else
    fail "explore: no window"
    kill $demo 2> /dev/null
    wait $demo 2> /dev/null
fi

# ---- the command line ----
./plivak --help > "$scratch/help" 2>&1; status=$?
if [ $status -eq 0 ] && grep -q "plivak.cfg" "$scratch/help" && grep -q -- "--fullscreen" "$scratch/help" &&
    grep -q "^   6 .* atom$" "$scratch/help"; then
    echo "ok (--help): exit status 0, the usage and the chapters"
else
    fail "--help: status $status"
fi
for bad in "--from -3" "--from banana" "--step 19"; do
    ./plivak $bad > "$scratch/out" 2> "$scratch/err"; status=$?
    if [ $status -eq 2 ] && [ "$(wc -l < "$scratch/err")" -eq 1 ]; then
        echo "ok ($bad): status 2, $(cat "$scratch/err")"
    else
        fail "$bad: status $status, $(head -c 300 "$scratch/err")"
    fi
done
./plivak --version > "$scratch/version" 2>&1; status=$?
if [ $status -eq 0 ] && grep -q "^plivak " "$scratch/version"; then echo "ok (--version): $(cat "$scratch/version")"; else fail "--version: status $status"; fi
./plivak --no-such-option > "$scratch/out" 2> "$scratch/err"; status=$?
if [ $status -eq 2 ] && [ ! -s "$scratch/out" ] && grep -q "usage" "$scratch/err"; then
    echo "ok (bad option): exit status 2, the usage on standard error"
else
    fail "bad option: status $status"
fi

# ---- no display: one line and status 1 at once ----
start=$(date +%s%N)
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER ./plivak > "$scratch/out" 2> "$scratch/err"; status=$?
ms=$(( ($(date +%s%N) - start) / 1000000 ))
# (Only plivak's own line counts: the display libraries SDL tries may print
# their own, such as libwayland's complaint about XDG_RUNTIME_DIR.)
if [ $status -eq 1 ] && [ $ms -lt 2000 ] && [ "$(grep -c "^plivak:" "$scratch/err")" -eq 1 ] &&
    grep -q "^plivak: no display" "$scratch/err"; then
    echo "ok (no display): status 1 after $ms ms: $(grep "^plivak:" "$scratch/err")"
else
    fail "no display: status $status after $ms ms: $(head -c 300 "$scratch/err")"
fi

# ---- screenshots against the capture ----
have_magick=1
for tool in import compare convert xwininfo; do command -v "$tool" > /dev/null || have_magick=0; done
if [ $have_magick -eq 1 ]; then
    # The held frame of the opening part; its scaled pictures, nearest to
    # the whole multiple and then linear, as both renderers draw them.
    ./plivak-capture --seconds 1.01 --from 1 --png "$scratch/frames" > /dev/null 2>&1
    held=$scratch/frames/000060.png
    [ -f "$held" ] || { fail "no capture frame"; have_magick=0; }
    convert "$held" -filter point -resize 960x600\! -filter triangle -resize 960x720\! "$scratch/ref960.ppm"
    convert "$held" -filter point -resize 1280x1000\! -filter triangle -resize 1440x1080\! "$scratch/ref1440.ppm"
fi

# Takes 16 screenshots of the screen over 2 to 3 s
# (uncompressed, so each costs little), to be compared afterwards.
take_shots() {
    rm -f "$scratch"/shot*.ppm
    for i in $(seq 10 25); do timeout 5 import -window root "ppm:$scratch/shot$i.ppm" 2> /dev/null; sleep 0.1; done
}

# The best normalised RMSE of the shots' CROP against REF; true when one
# is below 2%, and that shot is left as $scratch/best.ppm.
match_shots() {
    local crop=$1 ref=$2 best=1 rmse shot
    for shot in "$scratch"/shot*.ppm; do
        [ -f "$shot" ] || continue
        rmse=$(compare -metric RMSE "$shot[$crop]" "$ref" null: 2>&1 | sed -n 's/.*(\(.*\)).*/\1/p')
        [ -n "$rmse" ] || continue
        if awk -v a="$rmse" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$rmse; cp "$shot" "$scratch/best.ppm"; fi
    done
    echo "$best"
    awk -v a="$best" 'BEGIN { exit !(a < 0.02) }'
}

# The left and right bars of a 1920x1080 screenshot are black.
bars_black() {
    local left right
    left=$(convert "$scratch/best.ppm[240x1080+0+0]" -format "%[fx:maxima]" info:)
    right=$(convert "$scratch/best.ppm[240x1080+1680+0]" -format "%[fx:maxima]" info:)
    [ "$left" = 0 ] && [ "$right" = 0 ]
}

# Starts the demo with the given options (after "--"), checks the window's
# size, optionally the picture, then ends it with a key (status 0).
# check_case WHAT SIZE CROP REF [env...] -- options...
check_case() {
    local what=$1 size=$2 crop=$3 ref=$4
    shift 4
    if ! start_demo "$@"; then
        fail "$what: no window"; tail -n 5 "$log"; kill $demo 2> /dev/null; wait $demo 2> /dev/null; return
    fi
    local got="" ok=1
    for _ in $(seq 30); do
        got=$(xdotool getwindowgeometry "$window" 2> /dev/null | sed -n 's/.*Geometry: //p')
        [ "$got" = "$size" ] && break
        sleep 0.1
    done
    [ "$got" = "$size" ] || { echo "FAIL ($what): window $got, expected $size"; ok=0; }
    same_window "$what" || ok=0
    # The picture's place on the screen: CROP is relative to the window.
    # (xwininfo, as xdotool's position is off under a window manager.)
    local pos
    pos=$(xwininfo -id "$window" 2> /dev/null | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF } END { if (x != "") print x, y }')
    if [ "$crop" != - ] && [ -n "$pos" ]; then
        set -- ${crop//[x+]/ } $pos
        crop="$1x$2+$(($3 + $5))+$(($4 + $6))"
    fi
    [ $ok -eq 1 ] && [ "$ref" != - ] && [ $have_magick -eq 1 ] && take_shots
    xdotool key --window "$window" space
    local note=""
    if [ $ok -eq 1 ] && [ "$ref" != - ] && [ $have_magick -eq 1 ]; then
        local rmse
        if rmse=$(match_shots "$crop" "$ref"); then
            note=", picture matches the capture (RMSE $rmse)"
            if [ "$size" = 1920x1080 ] && ! bars_black; then echo "FAIL ($what): bars not black"; ok=0; fi
        else
            echo "FAIL ($what): picture differs from the capture (best RMSE $rmse)"; ok=0
        fi
    fi
    local before=$failures
    expect_clean_end "$what: $got$note"
    [ $ok -eq 1 ] || [ $failures -ne $before ] || failures=$((failures + 1))
    [ $failures -ne $before ] && tail -n 3 "$log"
}

echo fullscreen > "$scratch/fullscreen.cfg"
printf 'verbose\n' > "$scratch/verbose.cfg"

# Without a window manager the X server never resizes the window: the demo
# says so and plays in its window.
check_case "fullscreen refused without a window manager" 960x720 - - -- --fullscreen
grep -q "refused fullscreen" "$log" || fail "no line about the refused fullscreen"

# Both presentation paths show the same picture, and auto names the one it
# took.
check_case "--renderer surface" 960x720 960x720+0+0 "$scratch/ref960.ppm" -- --renderer surface --config "$scratch/verbose.cfg"
grep -q "surface path" "$log" || fail "no line naming the surface path"
check_case "--renderer gpu" 960x720 960x720+0+0 "$scratch/ref960.ppm" -- --renderer gpu --config "$scratch/verbose.cfg"
grep -q "gpu path" "$log" || fail "no line naming the gpu path"
check_case "auto" 960x720 960x720+0+0 "$scratch/ref960.ppm" -- --config "$scratch/verbose.cfg"
echo "auto took: $(grep -m1 " path (" "$log")"

if command -v openbox > /dev/null; then
    openbox > /dev/null 2>&1 &
    wm=$!
    sleep 1
    check_case "--fullscreen" 1920x1080 1440x1080+240+0 "$scratch/ref1440.ppm" -- --fullscreen --renderer surface
    check_case "fullscreen in plivak.cfg" 1920x1080 - - -- --config "$scratch/fullscreen.cfg"
    check_case "--window over plivak.cfg" 960x720 - - -- --config "$scratch/fullscreen.cfg" --window
else
    echo "SKIP (fullscreen and renderers): openbox is not installed"
fi
[ $failures -eq 0 ]
