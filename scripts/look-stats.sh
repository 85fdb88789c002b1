#!/usr/bin/env bash
# Measures how the show reads: every EVERY seconds of show time (default 5) the frame and the one
# 1/60 s after it are rendered offline at SIZE (default 1280x720) into OUT (default a new temporary
# folder, kept so the frames can be looked at), and look_stats prints a Markdown table: mean luma,
# 5th and 95th percentile, the share of flat strong colour, and the flicker of fine detail where the
# picture is still. Run after a build:  scripts/look-stats.sh [EVERY] [SIZE] [OUT]
set -euo pipefail
every=${1:-5}
size=${2:-1280x720}
out=${3:-$(mktemp -d)}
bin="$(cd "$(dirname "$0")/.." && pwd)/build/bin"
mkdir -p "$out"
cd "$bin"
pairs=()
for t in $(seq 0 "$every" 210); do
  dir="$out/$(printf 't%03d' "$t")"
  mkdir -p "$dir"
  # Two at a time: the renderer keeps both cores busy only part of the time.
  SDL_AUDIODRIVER=dummy xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1920x1080x24" \
    ./vorteline --frames "$dir" --fps 60 --size "$size" --from "$t" --to "$(echo "$t + 0.04" | bc -l)" \
    >/dev/null 2>&1 &
  while [ "$(jobs -r | wc -l)" -ge 2 ]; do sleep 0.2; done
  pairs+=("$dir/frame_000000.png" "$dir/frame_000001.png")
done
wait
echo "frames in $out" >&2
./look_stats "${pairs[@]}"
