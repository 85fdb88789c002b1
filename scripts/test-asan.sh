#!/usr/bin/env bash
# Builds the sanitizer tree (AddressSanitizer + UndefinedBehaviorSanitizer) and runs the unit tests.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset asan >/dev/null
cmake --build --preset asan
SDL_AUDIODRIVER=dummy ctest --preset asan -j2 "$@"
