#!/usr/bin/env bash
# Builds everything and runs every test. GL tests run on Mesa's software renderer inside a
# virtual X server, so no display or GPU is needed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
export SDL_AUDIODRIVER=dummy
# The display number search starts at a random place so that concurrent runs on one machine do
# not race for the same X server.
xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1280x720x24" ctest --preset default -j2 "$@"
