#!/usr/bin/env bash
# Runs the whole-program test ROUNDS times (default 25), two runs side by side each round, each
# under an X server of its own, and counts the runs that failed. A flaky start shows up here long
# before it shows up in CI. Needs the optimised build (scripts/build.sh).
# Usage: scripts/soak-program-test.sh [ROUNDS]
set -uo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-25}
root=$PWD
out=$(mktemp -d "${TMPDIR:-/tmp}/vt-soak.XXXXXX")
export SDL_AUDIODRIVER=dummy
failed=0
for round in $(seq "$rounds"); do
  pids=()
  for side in a b; do
    "$root/tests/support/with-display.sh" "$root/shell/tests/program_test.sh" "$root/build/bin" \
      "$root/build/bin/shell_close_window" "$out/$round$side" >"$out/$round$side.log" 2>&1 &
    pids+=($!)
  done
  for i in 0 1; do
    if ! wait "${pids[$i]}"; then
      failed=$((failed + 1))
      echo "soak: round $round, run $((i + 1)) failed: $out/$round$([ $i = 0 ] && echo a || echo b).log"
    fi
  done
done
echo "soak: $((rounds * 2)) runs, $failed failed (logs in $out)"
[ "$failed" = 0 ]
