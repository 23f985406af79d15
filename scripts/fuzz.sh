#!/usr/bin/env bash
# Runs libFuzzer targets on their seed corpora (tests/fuzz/<target>/) for a number of
# executions. New inputs found go to build/native/corpus/<target>, never into the repository;
# a crash leaves its input in build/native/crashes/ and fails the script.
#
#   fuzz.sh TARGET|all [RUNS]     RUNS defaults to 10000000
#   fuzz.sh --ci                  every target for a short fixed count (the ctest entry)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${VARNELLO_BUILD:-$root/build}/native"
targets=(progress_pieces ffmpeg_progress command_template venc_arguments profile_file output_path)

target="${1:?usage: fuzz.sh TARGET|all|--ci [RUNS]}"
runs="${2:-10000000}"
if [ "$target" = "--ci" ]; then
    target=all
    runs=100000
fi
"$root/scripts/native.sh" --build-only >/dev/null
[ "$target" = "all" ] && selected=("${targets[@]}") || selected=("$target")

mkdir -p "$out/crashes"
for t in "${selected[@]}"; do
    exe="$out/fuzz_$t"
    [ -x "$exe" ] || { echo "fuzz: no target $t (is clang installed?)" >&2; exit 1; }
    corpus="$out/corpus/$t"
    mkdir -p "$corpus"
    start=$(date +%s)
    # The seeds are read but never written: new inputs land in the build's corpus folder.
    if ! "$exe" -runs="$runs" -max_len=4096 -timeout=10 -print_final_stats=1 \
         -artifact_prefix="$out/crashes/$t-" "$corpus" "$root/tests/fuzz/$t" >"$out/fuzz_$t.log" 2>&1; then
        tail -n 40 "$out/fuzz_$t.log" >&2
        echo "fuzz: $t FAILED (input in $out/crashes/)" >&2
        exit 1
    fi
    execs=$(awk '/stat::number_of_executed_units/ {print $2}' "$out/fuzz_$t.log")
    echo "fuzz: $t ok, $execs executions in $(( $(date +%s) - start )) s"
done
