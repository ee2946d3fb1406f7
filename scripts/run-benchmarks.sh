#!/usr/bin/env bash
# Runs every benchmark of the build and prints its figures.
set -u
build="${1:-build}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
status=0
for b in "$build"/bench/bench_*; do
    [ -x "$b" ] || continue
    echo "== $(basename "$b")"
    "$b" 2> >(grep -v -E 'XDG_RUNTIME_DIR|propagateSizeHints' >&2) || status=1
    echo
done
exit $status
