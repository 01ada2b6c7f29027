#!/usr/bin/env bash
# The real demo in a real window under Xvfb: the window appears with its
# title, a key press ends the demo, and it exits with status 0.
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
trap 'kill $xvfb 2> /dev/null; kill $demo 2> /dev/null' EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdotool getmouselocation > /dev/null 2>&1 && break; sleep 0.1; done

cd "$bin_dir"
./plivak &
demo=$!
window=""
for _ in $(seq 100); do
    window=$(xdotool search --name "^morvelle - plivak' effect$" 2> /dev/null | head -n 1)
    [ -n "$window" ] && break
    kill -0 $demo 2> /dev/null || break
    sleep 0.1
done
[ -n "$window" ] || { echo "FAIL: no window titled \"morvelle - plivak' effect\""; exit 1; }
sleep 1
xdotool key --window "$window" space
for _ in $(seq 50); do
    kill -0 $demo 2> /dev/null || break
    sleep 0.1
done
if kill -0 $demo 2> /dev/null; then
    echo "FAIL: the demo still runs 5 s after a key"
    exit 1
fi
wait $demo
status=$?
echo "exit status $status"
[ $status -eq 0 ]
