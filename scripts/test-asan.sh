#!/usr/bin/env bash
# Builds the sanitizer tree (AddressSanitizer + UndefinedBehaviorSanitizer), runs the unit tests,
# then the whole show captured at a small size by the sanitizer build: every frame of every part,
# with any sanitizer report (a leak included) failing the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset asan >/dev/null
cmake --build --preset asan
SDL_AUDIODRIVER=dummy ctest --preset asan -j2 "$@"

out=$(mktemp -d "${TMPDIR:-/tmp}/vt-asan-show.XXXXXX")
trap 'rm -rf "$out"' EXIT
cd build-asan/bin
echo "test-asan: the whole show at 160x90, 4 frames/s, under the sanitizers"
# Reports are read from the log rather than from the exit status: the system's libraries (D-Bus,
# the GL driver, unloaded before the leak check and so without names) leave small leaks behind at
# exit, and only a leak that passes through our own code counts.
status=0
SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=1:exitcode=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ../../tests/support/with-display.sh ./vorteline --capture "$out/show.mp4" --size 160x90 --fps 4 \
  2>"$out/stderr.txt" || status=$?
if grep -q -E "ERROR: AddressSanitizer|runtime error:" "$out/stderr.txt"; then
  sed -n '/ERROR: AddressSanitizer\|runtime error:/,$p' "$out/stderr.txt" | head -n 60 >&2
  echo "test-asan: sanitizer reports in the show's run" >&2
  exit 1
fi
# A leak block runs from its "Direct leak" or "Indirect leak" line to the next blank line. It is
# ours when, walking out from the allocation, our sources come before any shared library's code.
ours=$(awk '/^(Direct|Indirect) leak/ { block = $0; keep = 0; decided = 0; inside = 1; next }
            inside && /^$/ { if (keep) print block; inside = 0; next }
            inside {
              block = block "\n" $0
              if (decided || $1 == "#0") next
              if ($0 ~ / \.\.\/(assets|capture|engine|fsound|runtime|shell|show|tools)\//) { keep = 1; decided = 1 }
              else if ($0 ~ /\.so[.0-9]*\+0x|<unknown module>/) decided = 1
            }
            END { if (inside && keep) print block }' "$out/stderr.txt")
if [ -n "$ours" ]; then
  printf '%b\n' "$ours" >&2
  echo "test-asan: memory leaked through the program's own code" >&2
  exit 1
fi
if [ "$status" != 0 ]; then
  tail -n 40 "$out/stderr.txt" >&2
  echo "test-asan: the sanitizer build of the show failed with status $status" >&2
  exit 1
fi
tr '\r' '\n' <"$out/stderr.txt" | grep -E "^offline: [0-9]+ frames" || true
