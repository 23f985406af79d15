#!/usr/bin/env bash
# Configures (once) and builds everything into build/, staging the program in build/dist/.
#   build.sh            the program, its packages and every test
#   build.sh program    only the staged program (what scripts/run.sh starts)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if [ ! -f "$root/build/CMakeCache.txt" ] || [ ! -f "$root/build/Makefile" ]; then
    cmake -S "$root" -B "$root/build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
          -DCMAKE_BUILD_TYPE=Release
fi
if [ "${1:-}" = program ]; then
    cmake --build "$root/build" -j"$(nproc)" --target program
else
    cmake --build "$root/build" -j"$(nproc)"
fi
