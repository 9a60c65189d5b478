#!/usr/bin/env bash
# Runs bench/paste.cpp over a table of content kinds and sizes, each run in a process of its own
# under a time limit, and prints one line per run; a run that freezes the window prints TIMEOUT.
#   bench/paste-table.sh [PROGRAM [SECONDS [SIZES...]]]
#   default: build/bench/bench/paste, 60 s, sizes 1M and 10M
set -uo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/bench/bench/paste}
limit=${2:-60}
shift $(( $# > 2 ? 2 : $# ))
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1M 10M)

for size in "${sizes[@]}"; do
    for kind in digits letters blanks words lines scripts; do
        timeout --kill-after=5 "$limit" "$program" "$kind" "$size" 2>/dev/null
        status=$?
        [ $status -eq 124 ] || [ $status -eq 137 ] && printf '%-8s %5s  TIMEOUT after %s s\n' "$kind" "$size" "$limit"
    done
done
