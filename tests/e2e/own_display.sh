# Sourced by the tests that show the real window: an X server of the
# test's own. Two tests on one display would close each other's windows,
# so a display is taken only when its number has no lock file and the
# Xvfb started on it really holds it (one that lost a race for the number
# exits at once).
#
# start_own_display FIRST LAST SIZE DIR
#   Starts Xvfb (screen SIZE, e.g. 1280x1024, 24 bits) on the first such
#   number in FIRST..LAST, using DIR for its -displayfd answer. Sets
#   `xvfb` to its process id and `display` to ":N", and exports DISPLAY.
#   Returns 1 when no number was free; `xvfb` is then empty.
start_own_display() {
    local first=$1 last=$2 size=$3 dir=$4 n
    display=""
    for n in $(seq "$first" "$last"); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        rm -f "$dir/display"
        Xvfb ":$n" -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3> "$dir/display" > /dev/null 2>&1 &
        xvfb=$!
        for _ in $(seq 200); do
            [ -s "$dir/display" ] && break
            kill -0 "$xvfb" 2> /dev/null || break
            sleep 0.05
        done
        if [ -s "$dir/display" ] && kill -0 "$xvfb" 2> /dev/null; then
            display=":$n"
            export DISPLAY=$display
            return 0
        fi
        kill "$xvfb" 2> /dev/null
        wait "$xvfb" 2> /dev/null
        xvfb=""
    done
    return 1
}
