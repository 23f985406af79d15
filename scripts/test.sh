#!/usr/bin/env bash
# Builds Varnello and every test, then runs them all under ctest (Wine + a private Xvfb).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
cd "$root/build"
# A session left by an interrupted run would hold a stale display: start clean.
"$root/scripts/wine-run.sh" --session-stop
ctest --output-on-failure "$@"
