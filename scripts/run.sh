#!/usr/bin/env bash
# Builds the program and plays the show. Without a display the show is captured offline instead
# (software GL inside a virtual X server): by default into vorteline.mp4 in the repository at
# 640x360 and 30 frames per second (software rendering is slow), or as the offline command line
# given (--capture OUT.mp4, --frame T OUT.png, ...). Arguments are handed to the program; output
# paths are taken relative to the folder the script was started from.
set -euo pipefail
here=$PWD
cd "$(dirname "$0")/.."
root=$PWD
scripts/build.sh

# Output operands of the offline modes become absolute: the program runs from build/bin.
args=()
pending=0
for a in "$@"; do
  if [ "$pending" -eq 1 ] && [ "${a#/}" = "$a" ]; then a="$here/$a"; fi
  if [ "$pending" -gt 0 ]; then pending=$((pending - 1)); fi
  case "$a" in
    --capture | --frames | --contact-sheet) pending=1 ;;
    --frame) pending=2 ;;
  esac
  args+=("$a")
done

cd build/bin
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec ./vorteline "${args[@]}"
fi
if [ ${#args[@]} -eq 0 ]; then
  args=(--capture "$root/vorteline.mp4" --size 640x360 --fps 30)
fi
echo "run: no display; running the show offline inside a virtual X server: ./vorteline ${args[*]}" >&2
SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} exec xvfb-run -a -s "-screen 0 1280x720x24" ./vorteline "${args[@]}"
