#!/usr/bin/env bash
# Builds the task list's drawing rules with the host compiler, address and undefined-behaviour
# sanitizers, and runs their tests. Fails if that code needs windows.h.
set -euo pipefail
src="${VARNELLO_SOURCE:?}"
out="${VARNELLO_BUILD:?}/native"
mkdir -p "$out"
g++ -std=c++17 -Wall -Wextra -Wimplicit-fallthrough -Werror -g -fsanitize=address,undefined \
    -fno-sanitize-recover=all -I"$src" \
    "$src/framework/CString.cpp" "$src/controls/TaskListCellRules.cpp" \
    "$src/controls/tests/task_list_rules_test.cpp" \
    -lgtest -lgtest_main -pthread -o "$out/task_list_rules_native_test"
"$out/task_list_rules_native_test"
