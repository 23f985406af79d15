#!/usr/bin/env bash
# Builds the code that needs no Windows for this Linux host, with the address and
# undefined-behaviour sanitizers (and the fuzz targets, with clang), into build/native, then
# runs its unit tests. Extra arguments go to ctest (for example -R engine).
#
#   native.sh [--build-only] [ctest args...]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${VARNELLO_BUILD:-$root/build}/native"
if [ ! -f "$out/CMakeCache.txt" ]; then
    compiler=clang++
    command -v clang++ >/dev/null 2>&1 || compiler=g++ # no fuzz targets without clang
    cmake -S "$root/native" -B "$out" -DCMAKE_CXX_COMPILER="$compiler" -DCMAKE_BUILD_TYPE= >/dev/null
fi
cmake --build "$out" -j2
[ "${1:-}" = "--build-only" ] && exit 0
cd "$out"
ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -L unit "$@"
