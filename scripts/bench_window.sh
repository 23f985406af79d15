# Sourced by the benchmarks that drive the staged Varnello.exe through its window: checks that
# the test build is there, opens the benchmark session and brings in the end-to-end helpers
# (start_varnello, inspect, make_clip...). `root` must be set. end_bench_window ends what was
# started here; call it from the script's EXIT trap.
source "$root/scripts/bench_lib.sh"
build="${VARNELLO_BUILD_DIR:-$root/build}"
[ -x "$build/dist/Varnello.exe" ] && [ -f "$build/tests/inspect.exe" ] || { echo "build first: scripts/build.sh" >&2; exit 2; }
bench_open_session
export VARNELLO_DIST="$build/dist" VARNELLO_SOURCE="$root" VARNELLO_TEST_BIN="$build/tests"
source "$root/tests/e2e/lib.sh"

end_bench_window() {
    cleanup_e2e
    bench_close_session
}
