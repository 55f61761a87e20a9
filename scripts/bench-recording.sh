#!/usr/bin/env bash
# Recording against rendering alone: kv17-capture making frames 1 to 1800 as
# an mp4, and making the same frames saving only the last as PNG, alternately.
# Prints each run's wall time and frames per second, the medians and their
# ratio. Run from the repository root (the demo needs Data/).
# Usage: scripts/bench-recording.sh [BUILD_DIR [RUNS]]
set -euo pipefail
build="${1:-build}"
runs="${2:-5}"
frames=1800
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

seconds() {  # wall time of the command, in seconds
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l
}
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

render=() video=()
for ((i = 1; i <= runs; i++)); do
    r=$(seconds "$build/kv17-capture" --headless --frames "$frames" --out "$work/png")
    v=$(seconds "$build/kv17-capture" --headless --video "$work/out.mp4" --frames "1-$frames")
    render+=("$r") video+=("$v")
    printf 'run %d: rendering %.2f s (%.0f fps), recording %.2f s (%.0f fps)\n' \
        "$i" "$r" "$(echo "$frames / $r" | bc -l)" "$v" "$(echo "$frames / $v" | bc -l)"
done
r=$(median "${render[@]}")
v=$(median "${video[@]}")
printf 'median: rendering %.2f s (%.0f fps), recording %.2f s (%.0f fps), ratio %.2f\n' \
    "$r" "$(echo "$frames / $r" | bc -l)" "$v" "$(echo "$frames / $v" | bc -l)" \
    "$(echo "$v / $r" | bc -l)"
