#!/usr/bin/env bash
# Compiles the SDL backends (ptc_sdl.cpp, midas_sdl.cpp) for Windows with
# Debian's mingw-w64 cross compiler against SDL2's own Windows headers: the
# proof that they use nothing of Linux that SDL does not provide. Compile
# only (no SDL library is built or linked), with the build's warnings as
# errors. The headers come from Debian's SDL2 source package, fetched once
# through a private deb-src list (the machine's apt configuration is not
# touched) into CACHE_DIR, and reused from then on.
#
# Usage: tools/check_portable.sh [CACHE_DIR]   (default: build-portable/)
# Exit status 77 (skip) when the compiler or the source package cannot be
# had, 1 when a file does not compile.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cache=$(realpath -m "${1:-$root/build-portable}")
cxx=x86_64-w64-mingw32-g++-posix
mkdir -p "$cache"

if ! command -v "$cxx" > /dev/null; then
    if [ "$(id -u)" -eq 0 ]; then
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends g++-mingw-w64-x86-64-posix \
            > "$cache/apt-install.log" 2>&1 || true
    fi
    command -v "$cxx" > /dev/null || { echo "SKIP: $cxx is not installed (g++-mingw-w64-x86-64-posix)"; exit 77; }
fi

# SDL2's headers, as Debian ships its source.
headers=$(find "$cache" -maxdepth 3 -path "*/SDL2-*/include/SDL.h" 2> /dev/null | head -n 1)
if [ -z "$headers" ]; then
    apt_dir=$cache/apt
    mkdir -p "$apt_dir/parts" "$apt_dir/lists/partial" "$apt_dir/dl"
    # The machine's own Debian entries, as deb-src.
    : > "$apt_dir/parts/debian.sources"
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] && grep -q "debian" "$f" || continue
        sed -e 's/^Types:.*/Types: deb-src/' "$f" >> "$apt_dir/parts/debian.sources"
        echo >> "$apt_dir/parts/debian.sources"
    done
    if [ ! -s "$apt_dir/parts/debian.sources" ]; then
        printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: bookworm\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
            > "$apt_dir/parts/debian.sources"
    fi
    apt_opts=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt_dir/parts"
              -o "Dir::State::Lists=$apt_dir/lists")
    # apt checks each download against the hashes of the signed index.
    if ! apt-get "${apt_opts[@]}" update -qq > "$apt_dir/update.log" 2>&1 ||
        ! (cd "$apt_dir/dl" && apt-get "${apt_opts[@]}" source --download-only -qq libsdl2) > "$apt_dir/source.log" 2>&1; then
        echo "SKIP: Debian's SDL2 source package could not be fetched (see $apt_dir)"
        exit 77
    fi
    orig=$(ls "$apt_dir"/dl/libsdl2_*.orig.tar.* | head -n 1)
    tar -xf "$orig" -C "$cache" --wildcards '*/include/*'
    headers=$(find "$cache" -maxdepth 3 -path "*/SDL2-*/include/SDL.h" | head -n 1)
fi
include=$(dirname "$headers")

out=$(mktemp -d /tmp/plivak-portable-XXXXXX)
trap 'rm -rf "$out"' EXIT
status=0
for file in ptc_sdl.cpp midas_sdl.cpp; do
    if "$cxx" -std=c++17 -Wall -Wextra -Wpedantic -Wshadow=local -Wno-unused-parameter -Werror \
        -I "$root/src" -I "$include" -c "$root/src/platform/$file" -o "$out/${file%.cpp}.o"; then
        echo "ok: src/platform/$file compiles for Windows ($cxx, $(basename "$(dirname "$include")") headers)"
    else
        echo "FAIL: src/platform/$file does not compile for Windows"
        status=1
    fi
done
exit $status
