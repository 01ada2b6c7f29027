#!/usr/bin/env bash
# Shared set-up for ./run, ./test and ./bench: installs what is missing from
# Debian's archive, then configures and builds the given build folder.
# Usage: tools/setup.sh BUILD_DIR [extra packages...] -- [cmake options...]
#        (BUILD_DIR "-": install only)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=$1
shift

packages=(build-essential cmake ninja-build pkg-config libsdl2-dev libopenmpt-dev zlib1g-dev
          libpng-dev libcairo2-dev fonts-dejavu-core libgtest-dev libgmock-dev libbenchmark-dev)
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    packages+=("$1")
    shift
done
[ $# -gt 0 ] && shift

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

[ "$build_dir" = "-" ] && exit 0

mkdir -p "$build_dir"
cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" > "$build_dir/configure.log" 2>&1 || {
    cat "$build_dir/configure.log"
    exit 1
}
cmake --build "$build_dir" -j"$(nproc)"
