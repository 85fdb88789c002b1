#!/usr/bin/env bash
# Capture throughput and start-up time of the offline modes on this machine's GL (without a
# display: Mesa's software renderer inside a virtual X server). Run after a build:
#   capture/bench/capture_bench.sh [SECONDS] [FROM]
# Each size captures SECONDS (default 10) of show time starting at FROM (default 100) at 60 frames
# per second, H.264 + AAC, and prints the program's own summary: frames per second of the whole
# capture (rendering, read-back and encoding) and the start-up profile.
set -euo pipefail
span=${1:-10}
from=${2:-100}
cd "$(dirname "$0")/../../build/bin"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
run() {
  SDL_AUDIODRIVER=dummy xvfb-run -a -s "-screen 0 1920x1080x24" ./vorteline "$@" 2>&1 >/dev/null |
    tr '\r' '\n' | grep -E '^offline: ([0-9]+ frames|per drawn frame|start-up)' || true
}
for size in 1280x720 640x360; do
  echo "== capture at $size: show time $from to $((from + span)) s at 60 frames/s"
  run --capture "$out/bench.mp4" --size "$size" --from "$from" --to "$((from + span))"
done
echo "== start-up to the first show frame (--frame 0 at 1280x720)"
run --frame 0 "$out/first.png"
