#!/usr/bin/env bash
# Steady CPU use of the converter under Xvfb, against the floor of a bare Qt window with a 10 ms
# timer (bare_timer), each measured from the scheduler's counts in /proc after typing 100; then
# the converter again with a megabyte pasted into its input ("12", a million blanks, "abc").
# Each program is measured twice in a row over SECONDS: first right after the input (2 s after
# it, while the input's cursor still blinks), then once it has been left alone (12 s after the
# input, when the cursor has stopped blinking, as it does after 10 s without input).
# Run from the repository's root after building the "bench" preset:
#   xvfb-run -a -s "-screen 0 1024x768x24" bench/steady-cpu.sh [SECONDS] [ROUNDS]
# PIN=1 runs the programs on core 1 (start the whole command under "taskset -c 0" to keep Xvfb
# and the script on core 0).
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

# measure PROGRAM TITLE [paste]: prints the CPU percentages of one core over $seconds, right
# after the input and then once idle.
measure() {
    ${PIN:+taskset -c 1} "$1" >/dev/null 2>&1 &
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
    local start middle end
    start=$(cpu_of "$pid")
    sleep "$seconds"
    middle=$(cpu_of "$pid")
    sleep $((12 - 2))
    middle_idle=$(cpu_of "$pid")
    sleep "$seconds"
    end=$(cpu_of "$pid")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    awk -v a="$start" -v b="$middle" -v c="$middle_idle" -v d="$end" -v s="$seconds" \
        'BEGIN { printf "%.2f %.2f\n", (b - a) / s * 100, (d - c) / s * 100 }'
}

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

declare -A runs
for _ in $(seq "$rounds"); do
    for case in floor converter paste; do
        case $case in
        floor) read -r busy idle < <(measure "$bin/bench/bare_timer" "Bare timer") ;;
        converter) read -r busy idle < <(measure "$bin/app/mirovane" "My Mirovane") ;;
        paste) read -r busy idle < <(measure "$bin/app/mirovane" "My Mirovane" paste) ;;
        esac
        runs[$case.busy]+="$busy " runs[$case.idle]+="$idle "
    done
done
figure() { printf '%s\n' ${runs[$1]} | median; }
echo "CPU in % of one core over ${seconds} s, median of $rounds rounds (all rounds in brackets)"
printf '%-32s %-28s %s\n' "" "2 s after the input" "12 s after the input"
for case in floor converter paste; do
    case $case in
    floor) label="bare 10 ms timer (floor)" ;;
    converter) label="converter, 100 typed" ;;
    paste) label="converter, a megabyte pasted" ;;
    esac
    printf '%-32s %-28s %s\n' "$label" "$(figure $case.busy) (${runs[$case.busy]% })" \
        "$(figure $case.idle) (${runs[$case.idle]% })"
done
awk -v b="$(figure converter.busy)" -v i="$(figure converter.idle)" \
    -v fb="$(figure floor.busy)" -v fi="$(figure floor.idle)" \
    'BEGIN { printf "%-32s %-28.2f %.2f\n", "converter / floor", b / fb, i / fi }'
