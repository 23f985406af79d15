#!/usr/bin/env bash
# Builds Varnello and every test, then runs them all under ctest (Wine + a private Xvfb) and
# judges the result (scripts/run-tests.sh: a test that passes only when run once more fails
# the command, and every test that did not run is named at the end).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
exec "$root/scripts/run-tests.sh" "$root/build" "$@"
