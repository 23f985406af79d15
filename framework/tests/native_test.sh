#!/usr/bin/env bash
# Builds the framework's pure string and geometry code with the host compiler, address and
# undefined-behaviour sanitizers, and runs its tests. Fails if that code needs windows.h.
set -euo pipefail
src="${VARNELLO_SOURCE:?}"
out="${VARNELLO_BUILD:?}/native"
mkdir -p "$out"
g++ -std=c++17 -Wall -Wextra -Wimplicit-fallthrough -Werror -g -fsanitize=address,undefined \
    -fno-sanitize-recover=all -I"$src" \
    "$src/framework/CString.cpp" "$src/framework/tests/string_test.cpp" \
    "$src/framework/tests/geometry_test.cpp" -lgtest -lgtest_main -pthread -o "$out/framework_native_test"
"$out/framework_native_test"
