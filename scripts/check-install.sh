#!/usr/bin/env bash
# Installs a built tree into a temporary prefix and builds two outside programs against it: one
# with CMake and find_package(KelCmd), one with cc and pkg-config. Both run against a simulated
# unit. Also checks that what must not be installed (tests, the static core) is not.
# usage: scripts/check-install.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
consumers=$PWD/tests/consumers

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

echo "== install into a temporary prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log"
for path in bin/kelcmd bin/kelbus-sim include/kelcmd/kelcmd.h include/kelcmd/kebpacket.h; do
    [ -e "$prefix/$path" ] || { echo "missing: $path"; exit 1; }
done
libdir=$(dirname "$(find "$prefix" -name 'libkelcmd.so.1' | head -n 1)")
if [ ! -L "$libdir/libkelcmd.so" ] || [ ! -e "$libdir/libkelcmd.so.1" ]; then
    echo "missing: libkelcmd.so"
    exit 1
fi
if find "$prefix" \( -name '*_tests' -o -name '*.a' -o -name 'kelcmd_c_client' \) | grep .; then
    echo "installed what must not be"
    exit 1
fi

echo "== a program built with CMake and find_package(KelCmd)"
cmake -S "$consumers/cmake" -B "$work/cmake-build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$work/cmake-build" >/dev/null
KELCMD_PORTS='' timeout 60 "$work/cmake-build/move_with_cmake"

echo "== a program built with cc and pkg-config"
export PKG_CONFIG_PATH="$libdir/pkgconfig"
# shellcheck disable=SC2046 # the flags are separate words
cc -std=c99 -Wall -Wextra -Werror -o "$work/move_with_pkgconfig" "$consumers/pkgconfig/move.c" \
    $(pkg-config --cflags --libs kelcmd)
KELCMD_PORTS='' LD_LIBRARY_PATH="$libdir" timeout 60 "$work/move_with_pkgconfig"

echo "install check: passed"
