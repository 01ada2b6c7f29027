#!/usr/bin/env bash
# The demo and its X server ending together, as at logout: SIGTERM to the
# demo, then after DELAY ms (0 to 200) the X server ends. The demo must be
# gone within 1 s of the server's end, each time, in a window and in
# fullscreen (under openbox), with exit status 0. A demo that waits for an
# answer from the dead server never ends; it is killed and counted.
#
# Usage: shutdown_test.sh BIN_DIR [ROUNDS]   (ROUNDS of every delay, default 2)
set -u
bin_dir=$1
rounds=${2:-2}
for tool in Xvfb xdotool; do
    command -v "$tool" > /dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
modes=(window)
if command -v openbox > /dev/null; then modes+=(fullscreen); else echo "SKIP (fullscreen): openbox is not installed"; fi
scratch=$(mktemp -d /tmp/plivak-shutdown-XXXXXX)
xvfb="" wm="" demo=""
trap '[ -n "$demo" ] && kill -9 $demo 2> /dev/null; [ -n "$wm" ] && kill $wm 2> /dev/null; [ -n "$xvfb" ] && kill $xvfb 2> /dev/null; rm -rf "$scratch"' EXIT
source "$(dirname "$0")/own_display.sh"
cd "$bin_dir"
# Job control: a background job of a script otherwise starts with SIGINT
# ignored; and each job's own process group keeps the kills apart.
set -m

# Starts an X server on a free display of its own and sets DISPLAY.
start_server() { start_own_display 140 200 1280x1024 "$scratch"; }

failures=0
trials=0
for round in $(seq "$rounds"); do
    for mode in "${modes[@]}"; do
        for delay in 0 50 100 150 200; do
            trials=$((trials + 1))
            what="$mode, server ends ${delay} ms after SIGTERM, round $round"
            start_server || { echo "FAIL ($what): no free display"; failures=$((failures + 1)); continue; }
            options=()
            if [ "$mode" = fullscreen ]; then
                openbox > /dev/null 2>&1 &
                wm=$!
                options=(--fullscreen)
                sleep 0.5
            fi
            ./plivak "${options[@]}" > "$scratch/log" 2>&1 &
            demo=$!
            shown=0
            for _ in $(seq 150); do
                xdotool search --onlyvisible --name "^morvelle - plivak' effect$" > /dev/null 2>&1 && { shown=1; break; }
                kill -0 $demo 2> /dev/null || break
                sleep 0.05
            done
            if [ $shown -eq 0 ]; then
                echo "FAIL ($what): no window"; tail -n 3 "$scratch/log"; failures=$((failures + 1))
                kill -9 $demo 2> /dev/null
                wait $demo 2> /dev/null
            else
                # Playing for a second, then both ends at once.
                sleep 1
                kill -TERM $demo
                [ "$delay" -gt 0 ] && sleep "$(awk -v d="$delay" 'BEGIN { print d / 1000 }')"
                kill -TERM $xvfb
                start=$(date +%s%N)
                for _ in $(seq 100); do
                    kill -0 $demo 2> /dev/null || break
                    sleep 0.01
                done
                ms=$(( ($(date +%s%N) - start) / 1000000 ))
                if kill -0 $demo 2> /dev/null; then
                    echo "FAIL ($what): still running 1 s after the server ended"
                    failures=$((failures + 1))
                    kill -9 $demo 2> /dev/null
                    wait $demo 2> /dev/null
                else
                    wait $demo
                    status=$?
                    if [ $status -eq 0 ]; then
                        echo "ok ($what): ended ${ms} ms after the server, status 0"
                    else
                        echo "FAIL ($what): exit status $status"; tail -n 3 "$scratch/log"; failures=$((failures + 1))
                    fi
                fi
            fi
            demo=""
            [ -n "$wm" ] && { kill $wm 2> /dev/null; wait $wm 2> /dev/null; wm=""; }
            kill $xvfb 2> /dev/null
            wait $xvfb 2> /dev/null
            xvfb=""
        done
    done
done
echo "$((trials - failures)) of $trials trials ended in time"
[ $failures -eq 0 ]
