#!/usr/bin/env bash
# Builds everything and runs every test. GL tests run on Mesa's software renderer, each inside a
# virtual X server of its own, so no display or GPU is needed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
export SDL_AUDIODRIVER=dummy
ctest --preset default -j2 "$@"
