#!/usr/bin/env bash
# Runs the fuzz targets built in the fuzz build directory.
#   fuzz.sh run FUZZ_BUILD [SECONDS] [TARGET...]   each target for SECONDS (default 60) on its
#                                                   corpus; prints executions and findings
#   fuzz.sh smoke FUZZ_BUILD TARGET                 every corpus input once, then a 3-second run
#                                                   (ctest; exit 77 when the target is not built)
# New inputs go to a scratch directory, never into the repository's corpus;
# a finding is written to fuzz/findings/ and must become a regression input.
set -u
here="$(cd "$(dirname "$0")/.." && pwd)"
mode="${1:-run}"
build="${2:-build-fuzz}"
case "$build" in /*) ;; *) build="$here/$build" ;; esac

run_one() { # target seconds -> prints a summary line; returns 1 on a finding
    local t="$1" secs="$2" corpus="$here/fuzz/corpus/$1"
    local work log
    work="$(mktemp -d -t "c3-$t.XXXXXX")"
    log="$work/log"
    mkdir -p "$here/fuzz/findings"
    "$build/$t" "$work" "$corpus" -max_total_time="$secs" -print_final_stats=1 \
        -artifact_prefix="$here/fuzz/findings/$t-" >"$log" 2>&1
    local status=$?
    local execs
    execs="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$')"
    if [ $status -eq 0 ]; then
        printf '%-22s %12s executions in %ss, no finding\n' "$t" "${execs:-?}" "$secs"
    else
        printf '%-22s %12s executions: FINDING\n' "$t" "${execs:-?}"
        grep -E 'ERROR|SUMMARY|Test unit written' "$log" | head -5
    fi
    rm -rf "$work"
    return $status
}

case "$mode" in
run)
    secs="${3:-60}"
    shift $(( $# < 3 ? $# : 3 ))
    targets=("$@")
    if [ ${#targets[@]} -eq 0 ]; then
        targets=()
        for f in "$here"/fuzz/fuzz_*.cpp; do targets+=("$(basename "$f" .cpp)"); done
    fi
    status=0
    for t in "${targets[@]}"; do
        run_one "$t" "$secs" || status=1
    done
    exit $status
    ;;
smoke)
    t="$3"
    [ -x "$build/$t" ] || { echo "$t is not built (make fuzz-build)"; exit 77; }
    # Every input of the corpus once: the regression inputs of earlier findings.
    "$build/$t" -runs=0 "$here/fuzz/corpus/$t" >/dev/null 2>&1 || {
        echo "$t: an input of the corpus fails"; "$build/$t" -runs=0 "$here/fuzz/corpus/$t" 2>&1 | tail -20
        exit 1
    }
    run_one "$t" 3
    ;;
*)
    echo "usage: $0 run|smoke FUZZ_BUILD ..." >&2
    exit 2
    ;;
esac
