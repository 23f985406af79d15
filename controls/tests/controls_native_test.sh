#!/usr/bin/env bash
# Builds the range slider's and the skinned button's arithmetic with the host compiler,
# address and undefined-behaviour sanitizers, and runs their tests. Fails if that code needs
# windows.h.
set -euo pipefail
src="${VARNELLO_SOURCE:?}"
out="${VARNELLO_BUILD:?}/native"
mkdir -p "$out"
g++ -std=c++17 -Wall -Wextra -Wimplicit-fallthrough -Werror -g -fsanitize=address,undefined \
    -fno-sanitize-recover=all -I"$src" \
    "$src/controls/RangeSliderModel.cpp" "$src/controls/SkinButtonLayout.cpp" \
    "$src/controls/tests/range_slider_model_test.cpp" "$src/controls/tests/skin_button_layout_test.cpp" \
    -lgtest -lgtest_main -pthread -o "$out/controls_logic_native_test"
"$out/controls_logic_native_test"
