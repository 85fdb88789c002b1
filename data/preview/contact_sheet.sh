#!/usr/bin/env bash
# Renders the show every 10 s of show time (0 to 210 s) and assembles the frames into
# docs/contact_sheet.jpg. Usage: data/preview/contact_sheet.sh [WIDTH HEIGHT]
set -euo pipefail
cd "$(dirname "$0")/../.."
width=${1:-480}
height=${2:-270}
cmake --preset default >/dev/null
cmake --build build --target show_frames vt_show_data -j2 >/dev/null
frames=$(mktemp -d)
trap 'rm -rf "$frames"' EXIT
times=$(seq 0 10 210)
(cd build/bin && xvfb-run -a -s "-screen 0 1280x720x24" ./show_frames "$frames" "$width" "$height" $times >/dev/null)
args=()
for t in $times; do
  f=$(printf "%s/frame_%05.1f.ppm" "$frames" "$t")
  args+=(-label "${t} s" "$f")
done
font=()
[ -f /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf ] && font=(-font /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf)
mkdir -p docs
montage "${args[@]}" "${font[@]}" -tile 4x -geometry +4+4 -background '#202020' -fill '#d0d0d0' -pointsize 14 \
  -quality 85 docs/contact_sheet.jpg
echo "docs/contact_sheet.jpg"
