# Sourced by the benchmarks that drive the staged Varnello.exe through its window: checks that
# the test build is there, opens the benchmark session and brings in the end-to-end helpers
# (start_varnello, inspect, make_clip...). `root` must be set; with bench_private=1 the session
# is a display and Wine prefix of its own, made for the script and removed at its end, so that
# nothing the build's prefix holds colours the figures. end_bench_window ends what was started
# here; call it from the script's EXIT trap.
source "$root/scripts/bench_lib.sh"
build="${VARNELLO_BUILD_DIR:-$root/build}"
[ -f "$build/dist/Varnello.exe" ] && [ -f "$build/tests/inspect.exe" ] || { echo "build first: scripts/build.sh" >&2; exit 2; }
export VARNELLO_DIST="$build/dist" VARNELLO_SOURCE="$root" VARNELLO_TEST_BIN="$build/tests"
bench_session_dir=""
if [ "${bench_private:-0}" = 1 ]; then
    bench_session_dir="$(mktemp -d)"
    export VARNELLO_BUILD_DIR="$bench_session_dir"
    echo "starting a private display and Wine prefix (about half a minute the first time)..."
fi
bench_open_session
source "$root/tests/e2e/lib.sh"

end_bench_window() {
    cleanup_e2e
    bench_close_session
    [ -z "$bench_session_dir" ] || rm -rf "$bench_session_dir"
}

# Wall-clock time now, and the seconds between two such times.
now() { date +%s.%N; }
seconds_between() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", b - a }'; }
