#!/usr/bin/env bash
# The Debian package as a user installs it: cpack -G DEB from the build
# folder, dpkg -i, the installed plivak-capture run from / for 2 s of demo,
# then dpkg -r, leaving the machine as it was. Skipped (77) when not root,
# without dpkg or cpack, or when a plivak package is installed already.
set -u
build_dir=$1
[ "$(id -u)" -eq 0 ] || { echo "SKIP: needs root for dpkg -i"; exit 77; }
for tool in dpkg dpkg-deb cpack; do
    command -v "$tool" > /dev/null || { echo "SKIP: no $tool"; exit 77; }
done
if dpkg-query -W -f='${Status}' plivak 2> /dev/null | grep -q ' installed$'; then
    echo "SKIP: a plivak package is installed already; not touching it"
    exit 77
fi
work=$(mktemp -d /tmp/plivak_package_XXXXXX)
installed=0
cleanup() {
    [ $installed -eq 1 ] && dpkg -r plivak > /dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

(cd "$build_dir" && cpack -G DEB -B "$work" > "$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb=$(ls "$work"/plivak_*.deb 2> /dev/null | head -1)
[ -n "$deb" ] || { echo "FAIL: no .deb made"; exit 1; }
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libsdl2 libopenmpt zlib1g libpng; do
    echo "$depends" | grep -q "$lib" || fail "Depends lacks $lib: $depends"
done
dpkg -i "$deb" > "$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -i"; }
installed=1
(cd / && /usr/bin/plivak-capture --quiet --seconds 2 > /dev/null 2> "$work/run.err") || {
    cat "$work/run.err"
    fail "installed plivak-capture --seconds 2 from / ended with status $?"
}
dpkg -r plivak > /dev/null 2>&1 || fail "dpkg -r"
installed=0
dpkg-query -W -f='${Status}' plivak 2> /dev/null | grep -q ' installed$' && fail "still installed"
[ ! -e /usr/lib/plivak ] || fail "/usr/lib/plivak left behind"
[ $failures -eq 0 ] && echo "package: all checks passed"
exit $((failures > 0))
