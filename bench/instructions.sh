#!/usr/bin/env bash
# Instructions executed in user space per second by the converter and by the bare 10 ms timer
# window, counted by valgrind's callgrind over the same stretch of idle running after typing
# 100. Unlike CPU time, the counts barely move from run to run; they leave out the kernel (the
# timer's wake-up, the same for both) and the cost of cache misses.
# Run from the repository's root after building the "bench" preset:
#   xvfb-run -a -s "-screen 0 1024x768x24" bench/instructions.sh [SECONDS]
set -euo pipefail
bin=${BIN:-build/bench}
seconds=${1:-20}
out=$(mktemp -d)

count() { # PROGRAM TITLE: prints the instructions counted per second
    valgrind --tool=callgrind --instr-atstart=no --callgrind-out-file="$out/$2.out" "$1" \
        >/dev/null 2>&1 &
    local pid=$!
    local window
    window=$(xdotool search --sync --name "$2" | head -n 1)
    sleep 3
    xdotool windowfocus --sync "$window"
    xdotool type --delay 100 100
    sleep 14 # past the cursor's blinking
    callgrind_control -i on "$pid" >/dev/null 2>&1
    sleep "$seconds"
    callgrind_control -i off "$pid" >/dev/null 2>&1
    callgrind_control -d "$pid" >/dev/null 2>&1
    sleep 1
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    local total
    total=$(callgrind_annotate "$out/$2.out."* 2>/dev/null | awk '/PROGRAM TOTALS/ { gsub(",", "", $1); print $1 }')
    echo $((total / seconds))
}

floor=$(count "$bin/bench/bare_timer" "Bare timer")
converter=$(count "$bin/app/mirovane" "My Mirovane")
echo "instructions per second, user space, over ${seconds} s of idle running at 100 ticks a second"
echo "bare 10 ms timer (floor):  $floor"
echo "converter, 100 typed:      $converter"
awk -v c="$converter" -v f="$floor" 'BEGIN { printf "converter / floor:         %.2f\n", c / f }'
rm -rf "$out"
