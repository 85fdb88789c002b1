#!/usr/bin/env bash
# Regenerates docs/contact-sheet.png: the show every 10 s of show time, 320x180 pictures with
# their show times under them, rendered offline (software GL inside a virtual X server).
# Extra arguments go to the program (for example --every 5 or --size 480x270).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/build.sh
mkdir -p docs
cd build/bin
xvfb-run -a -s "-screen 0 1280x720x24" ./vorteline --contact-sheet "$root/docs/contact-sheet.png" --every 10 "$@"
