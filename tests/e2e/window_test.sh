#!/usr/bin/env bash
# The real demo in a real window under Xvfb, ended every way a viewer or
# the system can end it: a key press, SIGTERM, SIGINT, the window
# destroyed, the window's client killed by the X server, and a key on a
# machine without an audio device (the music then plays silently). Each
# way must end the demo within 5 s with exit status 0.
set -u
bin_dir=$1
for tool in Xvfb xdotool; do
    command -v "$tool" > /dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
display=""
for n in $(seq 90 130); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "no free display"; exit 1; }
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp > /dev/null 2>&1 &
xvfb=$!
demo=""
trap 'kill $xvfb 2> /dev/null; [ -n "$demo" ] && kill $demo 2> /dev/null' EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdotool getmouselocation > /dev/null 2>&1 && break; sleep 0.1; done

cd "$bin_dir"
failures=0
# Job control: a background job of a script otherwise starts with SIGINT
# ignored, and a signal the process never sees tests nothing.
set -m

# Starts the demo (extra environment as arguments) and waits for its window.
start_demo() {
    env "$@" ./plivak > /tmp/plivak-window-$$.log 2>&1 &
    demo=$!
    window=""
    for _ in $(seq 100); do
        window=$(xdotool search --name "^morvelle - plivak' effect$" 2> /dev/null | head -n 1)
        [ -n "$window" ] && break
        kill -0 $demo 2> /dev/null || break
        sleep 0.1
    done
    [ -n "$window" ]
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
        tail -n 5 /tmp/plivak-window-$$.log
        failures=$((failures + 1))
    fi
}

run_case() {
    local what=$1 action=$2
    shift 2
    if ! start_demo "$@"; then
        echo "FAIL ($what): no window titled \"morvelle - plivak' effect\""
        tail -n 5 /tmp/plivak-window-$$.log
        failures=$((failures + 1))
        kill $demo 2> /dev/null
        wait $demo 2> /dev/null
        return
    fi
    sleep 1
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
rm -f /tmp/plivak-window-$$.log
[ $failures -eq 0 ]
