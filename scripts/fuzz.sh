#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each one for a bounded time on its seed corpus.
# Usage: scripts/fuzz.sh [seconds per target, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
scripts/setup.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
shopt -s nullglob
for fuzzer in build-fuzz/bin/fuzz_*; do
  name=$(basename "$fuzzer")
  seeds=$(cat "build-fuzz/${name}.corpus" 2>/dev/null || true)
  work=$(mktemp -d)
  echo "fuzz: $name for ${seconds}s" >&2
  "$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
    "$work" $seeds 2>"build-fuzz/${name}.log" || { tail -50 "build-fuzz/${name}.log"; exit 1; }
  grep -E 'stat::number_of_executed_units|Done' "build-fuzz/${name}.log" | tail -2 >&2
  rm -rf "$work"
done
