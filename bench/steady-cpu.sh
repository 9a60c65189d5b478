#!/usr/bin/env bash
# Steady CPU use of the converter under Xvfb, against the floor of a bare Qt window with a 10 ms
# timer (bare_timer), measured from the scheduler's counts in /proc. Each round runs three
# programs side by side: the floor, the converter with 100 typed, and a second converter with a
# megabyte pasted into its input ("12", a million blanks, "abc"; the input keeps the first 32,767
# characters). All three are measured over the
# same SECONDS, so that whatever else the machine does in that stretch weighs on all of them
# alike, and each round gives its own converter / floor ratio. Two stretches a round: 2 s after
# the last input, while the inputs' cursors still blink, and 12 s after it, when they have
# stopped blinking (as they do after 10 s without input).
# Run from the repository's root after building the "bench" preset:
#   xvfb-run -a -s "-screen 0 1024x768x24" bench/steady-cpu.sh [SECONDS] [ROUNDS]
set -euo pipefail
bin=${BIN:-build/bench}
seconds=${1:-10}
rounds=${2:-5}
cases=(floor converter paste)

# CPU nanoseconds the process's threads have run so far (the scheduler's count).
cpu_of() { awk '{ total += $1 } END { printf "%d", total }' /proc/"$1"/task/*/schedstat; }

# start PROGRAM TITLE [paste]: starts the program, types 100 into its window (and pastes the
# megabyte over it), and leaves its process id in $started.
start() {
    "$1" >/dev/null 2>&1 &
    started=$!
    local window
    window=$(xdotool search --sync --pid "$started" --name "$2" | head -n 1)
    xdotool windowfocus --sync "$window"
    sleep 0.5
    xdotool type --delay 50 100
    if [ "${3:-}" = paste ]; then
        xdotool key --window "$window" ctrl+a
        python3 -c 'print("12" + " " * 1000000 + "abc", end="")' | xclip -selection clipboard >/dev/null 2>&1
        xdotool key --window "$window" ctrl+v
    fi
}

# sample: the CPU percentages of one core that each program used over $seconds, in case order.
sample() {
    local before=() after=() i
    for i in "${!pids[@]}"; do before[i]=$(cpu_of "${pids[i]}"); done
    sleep "$seconds"
    for i in "${!pids[@]}"; do after[i]=$(cpu_of "${pids[i]}"); done
    for i in "${!pids[@]}"; do
        awk -v a="${before[i]}" -v b="${after[i]}" -v s="$seconds" \
            'BEGIN { printf "%.3f ", (b - a) / 1e9 / s * 100 }'
    done
}

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

declare -A runs
for _ in $(seq "$rounds"); do
    start "$bin/bench/bare_timer" "Bare timer" && floor=$started
    start "$bin/app/mirovane" "My Mirovane" && converter=$started
    start "$bin/app/mirovane" "My Mirovane" paste && paste=$started
    pids=("$floor" "$converter" "$paste")
    sleep 2
    read -r -a busy <<<"$(sample)"
    sleep $((12 - 2 - seconds > 0 ? 12 - 2 - seconds : 0))
    read -r -a idle <<<"$(sample)"
    kill "${pids[@]}"
    wait "${pids[@]}" 2>/dev/null || true
    for i in "${!cases[@]}"; do
        runs[${cases[i]}.busy]+="${busy[i]} " runs[${cases[i]}.idle]+="${idle[i]} "
    done
    runs[ratio.busy]+="$(awk -v c="${busy[1]}" -v f="${busy[0]}" 'BEGIN { printf "%.2f", c / f }') "
    runs[ratio.idle]+="$(awk -v c="${idle[1]}" -v f="${idle[0]}" 'BEGIN { printf "%.2f", c / f }') "
done

figure() { printf '%s\n' ${runs[$1]} | median; }
echo "CPU in % of one core over ${seconds} s, median of $rounds rounds (all rounds in brackets)"
printf '%-32s %-44s %s\n' "" "2 s after the input" "12 s after the input"
for case in "${cases[@]}" ratio; do
    case $case in
    floor) label="bare 10 ms timer (floor)" ;;
    converter) label="converter, 100 typed" ;;
    paste) label="converter, a megabyte pasted" ;;
    ratio) label="converter / floor, by round" ;;
    esac
    printf '%-32s %-44s %s\n' "$label" "$(figure $case.busy) (${runs[$case.busy]% })" \
        "$(figure $case.idle) (${runs[$case.idle]% })"
done
