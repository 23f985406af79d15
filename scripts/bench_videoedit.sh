#!/usr/bin/env bash
# Prints how soon the video-editing component shows a preview's first picture and how long
# it takes to write a short clip, as measured by its tests on this machine (build first).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root/build"
ctest -R videoedit_component_test -V 2>/dev/null | grep -E 'first picture of a preview|written to AVI' | sed 's/^[0-9]*: //'
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
