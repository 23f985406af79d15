#!/usr/bin/env bash
# Builds venc's pure parts (option reading, level choice, ffmpeg arguments, progress lines)
# with the host compiler and sanitizers and runs their tests. Fails if that code needs
# windows.h.
set -euo pipefail
src="${VARNELLO_SOURCE:?}"
out="${VARNELLO_BUILD:?}/native"
mkdir -p "$out"
g++ -std=c++17 -Wall -Wextra -Wimplicit-fallthrough -Werror -g -fsanitize=address,undefined \
    -fno-sanitize-recover=all -I"$src" \
    "$src/encoder/venc_options.cpp" "$src/encoder/encode_plan.cpp" "$src/encoder/progress_report.cpp" \
    "$src/encoder/tests/venc_logic_test.cpp" \
    -lgtest -lgtest_main -pthread -o "$out/venc_logic_native_test"
"$out/venc_logic_native_test"
