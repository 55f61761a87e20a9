#!/usr/bin/env bash
# Builds the bitmap decoder fuzzer with clang in build-fuzz and runs it for
# SECONDS (default 60). Exits non-zero when the fuzzer finds a fault; the
# input that shows it is left in build-fuzz/fuzz-artifacts/.
set -euo pipefail
seconds="${1:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"
"$root/scripts/install-deps.sh" fuzz

cmake -G Ninja -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DKV17_FUZZ=ON -DKV17_TESTS=OFF -DKV17_BENCHMARKS=OFF >/dev/null
cmake --build "$build" --target kv17-fuzz-bitmap

seeds="$build/fuzz-seeds/bitmap"
corpus="$build/fuzz-corpus/bitmap"
artifacts="$build/fuzz-artifacts/"
python3 "$root/fuzz/make_seed_corpus.py" "$seeds"
mkdir -p "$corpus" "$artifacts"

"$build/kv17-fuzz-bitmap" -max_total_time="$seconds" -max_len=16384 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$artifacts" "$corpus" "$seeds"
