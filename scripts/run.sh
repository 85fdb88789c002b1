#!/usr/bin/env bash
# Builds the program and plays the show. Without a display the show runs inside Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
cd build/bin
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec ./vorteline "$@"
fi
echo "run: no display; playing the show inside a virtual X server (Xvfb)" >&2
SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} exec xvfb-run -a -s "-screen 0 1280x720x24" ./vorteline "$@"
