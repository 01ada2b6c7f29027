#!/usr/bin/env bash
# `cmake --install` into a scratch prefix, then the installed launchers as a
# user runs them from a folder of their own: relative output paths land in
# that folder, the folder's plivak.cfg reaches the program (and an explicit
# --config wins over it), and a bad option still gives status 2.
set -u
build_dir=$1
work=$(mktemp -d /tmp/plivak_install_XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
png_height() { od -An -tu1 -j20 -N4 "$1" | awk '{print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4}'; }

cmake --install "$build_dir" --prefix "$work/prefix" > /dev/null || { echo "FAIL: cmake --install"; exit 1; }
for f in bin/plivak bin/plivak-capture bin/plivak-data lib/plivak/bin/plivak lib/plivak/bin/plivak-capture \
    lib/plivak/bin/pace-probe lib/plivak/data/demo.xm lib/plivak/data/dazovad.scn \
    share/applications/plivak.desktop share/icons/hicolor/48x48/apps/plivak.png \
    share/icons/hicolor/scalable/apps/plivak.svg share/doc/plivak/copyright; do
    [ -x "$work/prefix/$f" ] || [ -f "$work/prefix/$f" ] || fail "not installed: $f"
done
# Only the user's programs go on the PATH.
programs=$(ls "$work/prefix/bin" | tr '\n' ' ')
[ "$programs" = "plivak plivak-capture plivak-data " ] || fail "bin holds: $programs"

mkdir -p "$work/user/sub" && cd "$work/user/sub"
echo 240 > plivak.cfg
"$work/prefix/bin/plivak-capture" --quiet --seconds 1 --log run.log --png frames --every 30 --wav ../music.wav \
    > /dev/null 2>&1 || fail "installed plivak-capture ended with status $?"
[ "$(wc -l < run.log 2> /dev/null)" = 61 ] || fail "no 61-line log in the working folder"
[ -f ../music.wav ] || fail "../music.wav not written beside the working folder"
[ "$(png_height frames/000030.png 2> /dev/null)" = 240 ] || fail "the working folder's plivak.cfg (240) did not apply"

echo "" > empty.cfg
"$work/prefix/bin/plivak-capture" --quiet --seconds 0.5 --config empty.cfg --png frames2 --every 30 \
    > /dev/null 2>&1 || fail "plivak-capture --config ended with status $?"
[ "$(png_height frames2/000030.png 2> /dev/null)" = 200 ] || fail "--config did not replace the folder's plivak.cfg"

"$work/prefix/bin/plivak-capture" --png > /dev/null 2>&1
[ $? -eq 2 ] || fail "a missing value is not status 2"
[ ! -e "$work/prefix/lib/plivak/bin/frames" ] || fail "output written inside the installed folder"
# A symbolic link to the launcher (as in /usr/local/bin) works the same.
ln -s "$work/prefix/bin/plivak-capture" "$work/link"
(cd / && "$work/link" --quiet --seconds 0.2 > /dev/null 2>&1) || fail "a link to the launcher failed from /"

[ $failures -eq 0 ] && echo "install tree: all checks passed"
exit $((failures > 0))
