#!/usr/bin/env bash
# The Debian package as a user installs it and as Debian's own tools judge
# it: cpack -G DEB and TGZ from the build folder (the two hold the same
# files); lintian with no error or warning; dpkg -i; the manual pages found
# by man and rendered without a warning; the menu entry and the AppStream
# metadata valid; the icon a PNG of each size; the demo started from the
# entry's Exec line in / showing its window under Xvfb, and the installed
# plivak-capture run from / for 2 s of demo; then dpkg -r, after which no
# file of the package is left. Skipped (77) when not root, without one of
# the tools, or when a plivak package is installed already.
set -u
build_dir=$1
[ "$(id -u)" -eq 0 ] || { echo "SKIP: needs root for dpkg -i"; exit 77; }
for tool in dpkg dpkg-deb cpack lintian man desktop-file-validate appstreamcli Xvfb xdotool; do
    command -v "$tool" > /dev/null || { echo "SKIP: no $tool"; exit 77; }
done
if dpkg-query -W -f='${Status}' plivak 2> /dev/null | grep -q ' installed$'; then
    echo "SKIP: a plivak package is installed already; not touching it"
    exit 77
fi
work=$(mktemp -d /tmp/plivak_package_XXXXXX)
installed=0
xvfb=""
demo=""
cleanup() {
    [ -n "$demo" ] && kill "$demo" 2> /dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2> /dev/null
    [ $installed -eq 1 ] && dpkg_locked -r plivak
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# Width and height of a PNG from its header, or nothing when it is not one.
png_size() {
    [ "$(od -An -tx1 -N8 "$1" 2> /dev/null | tr -d ' \n')" = 89504e470d0a1a0a ] || return
    od -An -tu1 -j16 -N8 "$1" | awk '{print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4 "x" $5 * 16777216 + $6 * 65536 + $7 * 256 + $8}'
}
# dpkg with its arguments, waiting up to a minute while another dpkg or apt
# holds the lock (the machine's other users install packages too).
dpkg_locked() {
    local attempt
    for attempt in $(seq 30); do
        dpkg "$@" > "$work/dpkg.log" 2>&1 && return 0
        grep -q 'lock' "$work/dpkg.log" || return 1
        sleep 2
    done
    return 1
}
# The package's regular files with their modes, as paths under its prefix.
listing() { awk '$1 !~ /^d/ {print $1, $6}' | sed -E 's#^([^ ]+) \./usr/#\1 #; s#^([^ ]+) plivak-[^/]*/#\1 #' | sort; }

(cd "$build_dir" && cpack -G "DEB;TGZ" -B "$work" > "$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb=$(ls "$work"/plivak_*.deb 2> /dev/null | head -1)
tgz=$(ls "$work"/plivak-*.tar.gz 2> /dev/null | head -1)
[ -n "$deb" ] && [ -n "$tgz" ] || { echo "FAIL: no .deb or .tar.gz made"; exit 1; }
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libsdl2 libopenmpt zlib1g libpng; do
    echo "$depends" | grep -q "$lib" || fail "Depends lacks $lib: $depends"
done
dpkg-deb -c "$deb" | listing > "$work/deb.files"
tar tvzf "$tgz" | listing > "$work/tgz.files"
diff "$work/deb.files" "$work/tgz.files" > "$work/files.diff" || { cat "$work/files.diff"; fail "the .deb and the .tar.gz hold different files"; }
bins=$(awk '$2 ~ /^bin\// {sub("bin/", "", $2); printf "%s ", $2}' "$work/deb.files")
[ "$bins" = "plivak plivak-capture plivak-data " ] || fail "the package's bin holds: $bins"

# lintian says "running with root privileges is not recommended!" as root.
lintian --fail-on error,warning "$deb" > "$work/lintian.log" 2>&1 || {
    grep -v 'root privileges' "$work/lintian.log"
    fail "lintian"
}

dpkg_locked -i "$deb" || { cat "$work/dpkg.log"; echo "FAIL: dpkg -i"; exit 1; }
installed=1
dpkg -L plivak > "$work/owned"
version=$(dpkg-deb -f "$deb" Version)
[ "$(/usr/bin/plivak --version)" = "plivak $version" ] || fail "plivak --version is not the package's $version"

# A minimal image may tell dpkg to drop every manual page it installs.
man_pages=(plivak plivak-capture plivak-data)
if grep -qs '^path-exclude=/usr/share/man' /etc/dpkg/dpkg.cfg.d/*; then
    echo "note: dpkg drops manual pages here (/etc/dpkg/dpkg.cfg.d); not looking for them"
    man_pages=()
fi
for program in "${man_pages[@]}"; do
    page=$(man -w "$program" 2> /dev/null) || { fail "man -w $program finds no page"; continue; }
    MANWIDTH=80 man --warnings -l "$page" > "$work/page.txt" 2> "$work/page.err"
    [ -s "$work/page.err" ] && { cat "$work/page.err"; fail "man warns on $page"; }
    grep -q -- "--help" "$work/page.txt" || fail "$page lacks the options of --help"
done

entry=/usr/share/applications/plivak.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate $entry"
appstreamcli validate --no-net /usr/share/metainfo/*.metainfo.xml > "$work/appstream.log" 2>&1 || {
    cat "$work/appstream.log"
    fail "appstreamcli validate"
}
for size in 48 64 128 256; do
    icon=/usr/share/icons/hicolor/${size}x${size}/apps/plivak.png
    [ "$(png_size "$icon")" = "${size}x${size}" ] || fail "$icon is not a ${size}x${size} PNG"
done
grep -q '<svg' /usr/share/icons/hicolor/scalable/apps/plivak.svg 2> /dev/null || fail "no scalable icon"

# The entry's Exec line, run from / as a desktop does, opens the demo's
# window on a display of our own (a number without a lock file, and an Xvfb
# that really holds it); a key then ends the demo with status 0.
exec_line=$(sed -n 's/^Exec=//p' "$entry" | sed 's/ *%[fFuUick]//g')
source "$(dirname "$0")/../e2e/own_display.sh"
if ! start_own_display 140 180 1280x1024 "$work"; then
    fail "no free display for the menu entry's Exec line"
else
    (cd / && DISPLAY=$display exec sh -c "exec $exec_line") > "$work/exec.log" 2>&1 &
    demo=$!
    window=""
    for _ in $(seq 150); do
        window=$(DISPLAY=$display xdotool search --onlyvisible --name "^morvelle - plivak' effect$" 2> /dev/null | head -n 1)
        [ -n "$window" ] && break
        kill -0 $demo 2> /dev/null || break
        sleep 0.1
    done
    if [ -z "$window" ]; then
        cat "$work/exec.log"
        fail "'$exec_line' from / showed no window"
    else
        sleep 1
        DISPLAY=$display xdotool key --window "$window" space
        for _ in $(seq 50); do kill -0 $demo 2> /dev/null || break; sleep 0.1; done
        kill -0 $demo 2> /dev/null && fail "a key did not end the demo started from the entry"
    fi
    kill $demo 2> /dev/null
    wait $demo
    status=$?
    demo=""
    [ -z "$window" ] || [ $status -eq 0 ] || { cat "$work/exec.log"; fail "the demo started from the entry ended with status $status"; }
fi

(cd / && /usr/bin/plivak-capture --quiet --seconds 2 > /dev/null 2> "$work/run.err") || {
    cat "$work/run.err"
    fail "installed plivak-capture --seconds 2 from / ended with status $?"
}

dpkg_locked -r plivak || { cat "$work/dpkg.log"; fail "dpkg -r"; }
installed=0
dpkg-query -W -f='${Status}' plivak 2> /dev/null | grep -q ' installed$' && fail "still installed"
while read -r path; do
    [ -d "$path" ] && continue
    [ -e "$path" ] || [ -L "$path" ] && fail "left behind: $path"
done < "$work/owned"
for dir in /usr/lib/plivak /usr/share/doc/plivak; do
    [ ! -e "$dir" ] || fail "$dir left behind"
done
[ $failures -eq 0 ] && echo "package: all checks passed"
exit $((failures > 0))
