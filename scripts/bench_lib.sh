# Steps shared by the benchmark scripts. Source it; it needs $root (the repository).

# The median of the numbers on standard input, one a line.
median() {
    sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Unix path -> the Windows path Wine shows for it (Z: is the Unix root).
winpath() { echo "Z:${1//\//\\}"; }

# Wall seconds one command takes, its output thrown away.
time_one() {
    local start end
    start="$(date +%s.%N)"
    "$@" >/dev/null 2>&1 </dev/null
    end="$(date +%s.%N)"
    echo "$end - $start" | bc -l
}

# A temporary folder in $work, and one persistent Wine session for all runs (so that each run
# pays only its process start) unless one is open already; both go when the script ends.
bench_workspace() {
    work="$(mktemp -d)"
    bench_own_session=0
    if ! "$root/scripts/wine-run.sh" --session-env | grep -q DISPLAY; then
        "$root/scripts/wine-run.sh" --session-start
        bench_own_session=1
    fi
    trap bench_cleanup EXIT
}
bench_cleanup() {
    rm -rf "$work"
    if [ "$bench_own_session" = 1 ]; then "$root/scripts/wine-run.sh" --session-stop; fi
}
