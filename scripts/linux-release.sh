#!/usr/bin/env bash
# Builds the Linux program and packs the release: the program, its data folders and a plain-text
# vorteline.nfo in build/vorteline-linux-x86_64.tar.gz (one folder "vorteline" inside), through the
# build's install rules and CPack. Run it from the unpacked folder with ./vorteline.
# Usage: scripts/linux-release.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
# The program and every data folder it reads; the tests, tools and benchmarks are not needed.
cmake --build --preset default --target vorteline vt_show_data data_soundtrack

archive=build/vorteline-linux-x86_64.tar.gz
rm -f "$archive"
(cd build && cpack -G TGZ --config CPackConfig.cmake >/dev/null)
[ -f "$archive" ] || { echo "linux-release: cpack wrote no $archive" >&2; exit 1; }
echo "linux-release: $archive ($(du -h "$archive" | cut -f1))"
