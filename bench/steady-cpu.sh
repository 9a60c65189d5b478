#!/usr/bin/env bash
# Steady CPU use of the converter under Xvfb, against the floor of a bare Qt window with a 10 ms
# timer (bare_timer), each measured from /proc over the same number of seconds after typing 100.
# Then the converter again with a megabyte pasted into its input ("12", a million blanks, "abc").
# Run from the repository's root after building the "bench" preset:
#   xvfb-run -a -s "-screen 0 1024x768x24" bench/steady-cpu.sh [SECONDS] [ROUNDS]
set -euo pipefail
bin=${BIN:-build/bench}
seconds=${1:-10}
rounds=${2:-3}

# CPU seconds the process's threads have run so far, to the nanosecond (the scheduler's count).
cpu_of() {
    local total=0 task
    for task in /proc/"$1"/task/*; do
        total=$((total + $(cut -d' ' -f1 "$task/schedstat")))
    done
    awk -v ns="$total" 'BEGIN { printf "%.6f", ns / 1e9 }'
}

# measure PROGRAM TITLE [paste]: prints the CPU percentage of one core over $seconds.
measure() {
    "$1" >/dev/null 2>&1 &
    local pid=$!
    local window
    window=$(xdotool search --sync --name "$2" | head -n 1)
    xdotool windowfocus --sync "$window"
    sleep 0.5
    xdotool type --delay 50 100
    if [ "${3:-}" = paste ]; then
        xdotool key --window "$window" ctrl+a
        python3 -c 'print("12" + " " * 1000000 + "abc", end="")' | xclip -selection clipboard >/dev/null 2>&1
        xdotool key --window "$window" ctrl+v
        [ -z "${SHOT:-}" ] || { sleep 2; import -window root "$SHOT"; }
    fi
    sleep 2
    local before after
    before=$(cpu_of "$pid")
    sleep "$seconds"
    after=$(cpu_of "$pid")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    awk -v a="$after" -v b="$before" -v s="$seconds" 'BEGIN { printf "%.2f", (a - b) / s * 100 }'
}

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

floor_runs=() converter_runs=() paste_runs=()
for _ in $(seq "$rounds"); do
    floor_runs+=("$(measure "$bin/bench/bare_timer" "Bare timer")")
    converter_runs+=("$(measure "$bin/app/mirovane" "My Mirovane")")
    paste_runs+=("$(measure "$bin/app/mirovane" "My Mirovane" paste)")
done
floor=$(printf '%s\n' "${floor_runs[@]}" | median)
converter=$(printf '%s\n' "${converter_runs[@]}" | median)
paste=$(printf '%s\n' "${paste_runs[@]}" | median)
echo "rounds of ${seconds} s, median of $rounds (each round: floor, converter, converter with a megabyte)"
echo "bare 10 ms timer (floor):         $floor % of a core   (${floor_runs[*]})"
echo "converter, 100 typed:             $converter % of a core   (${converter_runs[*]})"
echo "converter, a megabyte pasted:     $paste % of a core   (${paste_runs[*]})"
awk -v c="$converter" -v f="$floor" 'BEGIN { printf "converter / floor:                %.2f\n", c / f }'
