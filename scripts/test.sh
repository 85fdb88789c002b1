#!/usr/bin/env bash
# Builds everything and runs every test. GL tests run on Mesa's software renderer inside a
# virtual X server, so no display or GPU is needed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
export SDL_AUDIODRIVER=dummy
xvfb-run -a -s "-screen 0 1280x720x24" ctest --preset default -j2 "$@"
