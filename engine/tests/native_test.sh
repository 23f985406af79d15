#!/usr/bin/env bash
# Builds the engine's pure logic (progress fields, cell answers, message texts) with the host
# compiler, address and undefined-behaviour sanitizers, and runs its tests. Fails if that code
# needs windows.h.
set -euo pipefail
src="${VARNELLO_SOURCE:?}"
out="${VARNELLO_BUILD:?}/native"
mkdir -p "$out"
g++ -std=c++17 -Wall -Wextra -Wimplicit-fallthrough -Werror -g -fsanitize=address,undefined \
    -fno-sanitize-recover=all -I"$src" \
    "$src/framework/CString.cpp" "$src/engine/MessageText.cpp" "$src/engine/Progress.cpp" \
    "$src/engine/TaskCell.cpp" \
    "$src/engine/tests/message_text_test.cpp" "$src/engine/tests/progress_test.cpp" \
    "$src/engine/tests/task_cell_test.cpp" \
    "$src/engine/ConvertTask.cpp" "$src/engine/SettingsTables.cpp" "$src/engine/CommandTemplate.cpp" \
    "$src/engine/tests/task_test.cpp" "$src/engine/tests/command_template_test.cpp" \
    -lgtest -lgtest_main -pthread -o "$out/engine_pure_native_test"
"$out/engine_pure_native_test"
