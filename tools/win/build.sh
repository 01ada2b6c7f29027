#!/usr/bin/env bash
# Builds the Windows release on Debian: plivak.exe and plivak-capture.exe
# cross-compiled with mingw-w64, and OUT_DIR/plivak-win64.zip (default
# OUT_DIR build-win/ beside tools/).
#
# 1. Installs what is missing from Debian (the mingw-w64 -posix compilers,
#    dpkg-dev for dpkg-source, zip, wine64 for the checks).
# 2. Fetches Debian's source packages of SDL2, libopenmpt and zlib through a
#    private deb-src list (the machine's apt configuration is not touched),
#    at the versions pinned below, and checks the .dsc against its pinned
#    SHA-256 and every file against the hashes in the .dsc.
# 3. Cross-builds them once into OUT_DIR/deps (SDL2.dll; libopenmpt and zlib
#    static). The folder is reused while its stamp names the same pins.
# 4. Configures the demo with tools/win/mingw-w64.cmake into OUT_DIR/cmake
#    and builds the two programs (the C and C++ run-time and winpthreads
#    linked statically, so SDL2.dll is the only DLL).
# 5. Lays out OUT_DIR/plivak-win64/ (bin/, data/ from the native build's
#    generator, README.txt, licences/) and zips it.
# Usage: tools/win/build.sh [OUT_DIR]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
out=${1:-$root/build-win}
mkdir -p "$out"
out=$(cd "$out" && pwd)
native=${PLIVAK_NATIVE_BUILD:-$root/build}
deps=$out/deps
jobs=$(nproc)
triple=x86_64-w64-mingw32
started=$SECONDS

"$root/tools/setup.sh" - g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix dpkg-dev zip unzip wine64 ccache --

# The libraries' first build is the long part (libopenmpt alone is many
# minutes on two cores). Through ccache, with paths taken relative to the
# checkout and no debug information (which would tie the objects to the
# folder they were built in), a later build in a fresh checkout on the
# same machine reuses the compiled objects.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}

# Debian bookworm's source packages: name, version, SHA-256 of the .dsc.
pins=(
    "libsdl2 2.26.5+dfsg-1 95b9a18130d98164e7856eca8ac1a2eb65d822ac4872ef8862ceed2cb1662136"
    "libopenmpt 0.6.9-1 f0504c2883443edfe81df5a8940b281707a223304f68dc2d53b37b617cc1e557"
    "zlib 1:1.2.13.dfsg-1 3fa1e6b2fc525062aa88207dda52fed8e045373c809d362fe8a2bfbf7cf515a8"
)
# Bumped whenever the way the libraries are built below changes.
recipe=2
stamp_text="recipe $recipe; ${pins[*]}"

# The deb-src entries: the machine's own Debian entries (URIs, suites,
# components, keyring) with the type changed, from deb822 files and from
# one-line lists alike.
write_source_list() {
    local file=$1
    : > "$file"
    local f
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        awk 'BEGIN { RS = ""; ORS = "\n\n" }
             /Types:[^\n]*deb/ && /debian-archive-keyring/ {
                 sub(/Types:[^\n]*/, "Types: deb-src"); print }' "$f" >> "$file"
    done
    local lists=()
    [ -f /etc/apt/sources.list ] && lists+=(/etc/apt/sources.list)
    for f in /etc/apt/sources.list.d/*.list; do [ -f "$f" ] && lists+=("$f"); done
    if [ ${#lists[@]} -gt 0 ]; then
        awk '$1 == "deb" && /debian/ { $1 = "deb-src"; print }' "${lists[@]}" > "${file%.sources}.list"
        [ -s "${file%.sources}.list" ] || rm -f "${file%.sources}.list"
    fi
    if [ ! -s "$file" ] && [ ! -f "${file%.sources}.list" ]; then
        printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: bookworm\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' > "$file"
    fi
    [ -s "$file" ] || rm -f "$file"
}

# Checks a .dsc against its pinned hash and each file it names against the
# hash it gives; prints what fails.
check_dsc() {
    local dsc=$1 want=$2 ok=0
    local got
    got=$(sha256sum "$dsc" | cut -d' ' -f1)
    if [ "$got" != "$want" ]; then
        echo "tools/win/build.sh: $dsc has SHA-256 $got, pinned $want" >&2
        return 1
    fi
    while read -r hash size name; do
        [ -n "$name" ] || continue
        if [ "$(stat -c %s "$name")" != "$size" ] || [ "$(sha256sum "$name" | cut -d' ' -f1)" != "$hash" ]; then
            echo "tools/win/build.sh: $name does not match the hash in $dsc" >&2
            ok=1
        fi
    done < <(sed -n '/^Checksums-Sha256:/,/^[^ ]/{/^ /p}' "$dsc")
    return $ok
}

fetch_sources() {
    local src=$deps/src
    rm -rf "$src"
    mkdir -p "$src/parts" "$src/lists/partial" "$src/dl"
    write_source_list "$src/parts/debian-src.sources"
    local apt_opts=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$src/parts"
                    -o "Dir::State::Lists=$src/lists" -o Debug::NoLocking=1 -o APT::Sandbox::User=root)
    apt-get "${apt_opts[@]}" update -qq
    local wanted=() p name version
    for p in "${pins[@]}"; do
        read -r name version _ <<< "$p"
        wanted+=("$name=$version")
    done
    (cd "$src/dl" && apt-get "${apt_opts[@]}" source --download-only -qq "${wanted[@]}")
    for p in "${pins[@]}"; do
        local hash dsc dir
        read -r name version hash <<< "$p"
        dsc=$(cd "$src/dl" && ls "${name}_${version#*:}.dsc")
        (cd "$src/dl" && check_dsc "$dsc" "$hash")
        dir=$src/$name
        (cd "$src/dl" && dpkg-source --no-check -q -x "$dsc" "$dir" > /dev/null)
    done
}

build_zlib() {
    local s=$deps/src/zlib b=$deps/build/zlib
    mkdir -p "$b"
    (cd "$b" && CHOST=$triple CC="${cc_launcher}$triple-gcc-posix" AR=$triple-ar RANLIB=$triple-ranlib \
        "$s/configure" --static --prefix="$deps")
    make -C "$b" -j"$jobs" libz.a
    make -C "$b" install
    cp "$s/LICENSE" "$deps/licences/zlib.txt"
}

build_sdl2() {
    local s=$deps/src/libsdl2
    cmake -S "$s" -B "$deps/build/sdl2" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/tools/win/mingw-w64.cmake" -DCMAKE_INSTALL_PREFIX="$deps" \
        -DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_TEST=OFF "${launcher[@]}"
    cmake --build "$deps/build/sdl2" -j"$jobs"
    cmake --install "$deps/build/sdl2"
    cp "$s/LICENSE.txt" "$deps/licences/SDL2.txt"
}

build_libopenmpt() {
    local s=$deps/src/libopenmpt b=$deps/build/libopenmpt
    mkdir -p "$b"
    (cd "$b" && "$s/configure" --host=$triple CC="${cc_launcher}$triple-gcc-posix" CXX="${cc_launcher}$triple-g++-posix" \
        CFLAGS=-O2 CXXFLAGS=-O2 --prefix="$deps" --enable-static --disable-shared --without-zlib --without-mpg123 --without-ogg \
        --without-vorbis --without-vorbisfile --without-pulseaudio --without-portaudio --without-portaudiocpp \
        --without-sndfile --without-flac --disable-openmpt123 --disable-examples --disable-tests \
        --disable-doxygen-doc)
    make -C "$b" -j"$jobs"
    make -C "$b" install
    cp "$s/LICENSE" "$deps/licences/libopenmpt.txt"
}

launcher=() cc_launcher=
if command -v ccache > /dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    cc_launcher="ccache "
fi

if [ "$(cat "$deps/.built" 2>/dev/null)" != "$stamp_text" ]; then
    echo "Cross-building SDL2, libopenmpt and zlib into $deps (once)"
    rm -rf "$deps"
    mkdir -p "$deps/log" "$deps/licences"
    fetch_sources
    for lib in zlib sdl2 libopenmpt; do
        t0=$SECONDS
        log=$deps/log/$lib.log
        trap 'echo "tools/win/build.sh: $lib failed; the end of $log:" >&2; tail -30 "$log" >&2' ERR
        "build_$lib" > "$log" 2>&1
        trap - ERR
        echo "  $lib: $((SECONDS - t0)) s"
    done
    rm -rf "$deps/build" "$deps/src"
    echo "$stamp_text" > "$deps/.built"
fi

# The data comes from the native generator.
if [ ! -f "$native/data/.generated" ]; then
    echo "Building the native tree for the data folder ($native)"
    "$root/tools/setup.sh" "$native" -- -DPLIVAK_TESTS=OFF -DPLIVAK_BENCH=OFF
fi

mkdir -p "$out/cmake"
cmake -S "$root" -B "$out/cmake" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPLIVAK_WERROR=ON \
    -DCMAKE_TOOLCHAIN_FILE="$root/tools/win/mingw-w64.cmake" -DPLIVAK_WIN_PREFIX="$deps" \
    -DPLIVAK_TESTS=OFF -DPLIVAK_BENCH=OFF "${launcher[@]}" > "$out/cmake/configure.log" 2>&1 || {
    cat "$out/cmake/configure.log"
    exit 1
}
cmake --build "$out/cmake" -j"$jobs" --target plivak plivak-capture

# The folder the zip holds, laid out anew each time.
stage=$out/plivak-win64
rm -rf "$stage" "$out/plivak-win64.zip"
mkdir -p "$stage/bin" "$stage/licences"
cp "$out/cmake/bin/plivak.exe" "$out/cmake/bin/plivak-capture.exe" "$deps/bin/SDL2.dll" "$stage/bin/"
$triple-strip "$stage/bin/"*.exe "$stage/bin/SDL2.dll"
cp -r "$native/data" "$stage/data"
rm -f "$stage/data/.generated"
cp "$deps/licences/"*.txt "$stage/licences/"
# The mingw-w64 run-time and winpthreads, linked into both programs, ask
# for their notices in every copy.
cp /usr/share/doc/mingw-w64-common/copyright "$stage/licences/mingw-w64-runtime.txt"
sed 's/$/\r/' "$root/tools/win/README.txt" > "$stage/README.txt"
(cd "$out" && zip -q -r -X plivak-win64.zip plivak-win64)
echo "$out/plivak-win64.zip: $(stat -c %s "$out/plivak-win64.zip") bytes; $((SECONDS - started)) s"
