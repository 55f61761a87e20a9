#!/usr/bin/env bash
# Frame pacing of the demo as shipped: BUILD/kv17demo on a private Xvfb
# (1024x768x24, which reports no refresh rate: 60 Hz), the start question
# answered No, every presented frame timed by the preloaded
# BUILD/kv17-swap-clock.so. After SECONDS seconds of frames (default 30) it
# ends the demo with SIGTERM, as `kill` does, and prints one line: the frames
# presented in the first SECONDS seconds, the median, 99th percentile and
# longest interval between them, how long the demo took to end, and its
# exit code. KV17_PACE passes through. Usage, from anywhere:
#   scripts/bench-pacing.sh [BUILD_DIR [SECONDS]]
set -uo pipefail
root=$(realpath "$(dirname "$0")/..")  # holds Data/
build=$(realpath "${1:-$root/build}")
seconds="${2:-30}"
[[ $seconds =~ ^[1-9][0-9]*$ ]] || { echo "usage: $0 [BUILD_DIR [SECONDS]]" >&2; exit 2; }
work=$(mktemp -d)
pids=()
cleanup() {
    disown -a
    for pid in "${pids[@]}"; do kill -KILL -- "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "bench-pacing: $*" >&2
    exit 1
}
now_ns() { date +%s%N; }

# poll SECONDS COMMAND...: true once COMMAND succeeds, false after SECONDS;
# it looks every $step seconds.
step=0.05
poll() {
    local until=$(($(now_ns) + $1 * 1000000000))
    shift
    until "$@"; do
        [ "$(now_ns)" -lt "$until" ] || return 1
        sleep "$step"
    done
}

# -noreset: the box going would otherwise, as the last client, reset the
# server under the window that comes next.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
pids+=($!)
poll 10 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"

touch "$work/swaps"
(cd "$root" && LD_PRELOAD="$build/kv17-swap-clock.so" KV17_SWAP_LOG="$work/swaps" \
    ASAN_OPTIONS=verify_asan_link_order=0 exec setsid "$build/kv17demo") >/dev/null &
demo=$!
pids+=("-$demo")

# Escape answers No; sent again until a frame comes, since a box that has
# just been mapped may not yet be listening.
answered() {
    [ -s "$work/swaps" ] && return 0
    local box
    box=$(xwininfo -root -tree 2>/dev/null | awk '/"Start FullScreen\?"/ { print $1; exit }')
    [ -n "$box" ] && xdotool key --window "$box" Escape 2>/dev/null
    return 1
}
poll 10 answered || fail "no frame presented"
first=$(head -n1 "$work/swaps")
end=$((first + seconds * 1000000000))
ended_after() { [ "$(tail -n1 "$work/swaps")" -ge "$end" ]; }
poll $((seconds * 2 + 10)) ended_after || fail "fewer frames than $seconds seconds' worth"

kill -TERM "$demo"
term=$(now_ns)
step=0.01 poll 5 eval '! kill -0 "$demo" 2>/dev/null' || fail "the demo did not end on SIGTERM"
exit_ms=$((($(now_ns) - term) / 1000000))
wait "$demo"
code=$?

awk -v end="$end" '$1 < end { if (NR > 1) print ($1 - last) / 1e6; last = $1 }' "$work/swaps" |
    sort -g | awk -v s="$seconds" -v ms="$exit_ms" -v code="$code" '
    { v[NR] = $1 }
    END {
        p99 = int(NR * 0.99); if (p99 < NR * 0.99) p99++
        printf "%d frames in %s s (%.2f per second); interval median %.2f ms, 99th percentile %.2f ms, longest %.2f ms; ended %d ms after SIGTERM, exit code %d\n",
            NR + 1, s, (NR + 1) / s, v[int((NR + 1) / 2)], v[p99], v[NR], ms, code
    }'
