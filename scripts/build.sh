#!/usr/bin/env bash
# Configures (once) and builds everything into build/, staging the program in build/dist/.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if [ ! -f "$root/build/CMakeCache.txt" ] || [ ! -f "$root/build/Makefile" ]; then
    cmake -S "$root" -B "$root/build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
          -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$root/build" -j"$(nproc)"
