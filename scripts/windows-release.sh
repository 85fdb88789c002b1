#!/usr/bin/env bash
# Builds the Windows program and packs the release: vorteline.exe, its data folders and a
# plain-text vorteline.nfo, in build-windows/vorteline-win64.zip (one folder "vorteline" inside).
# Usage: scripts/windows-release.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --windows
cmake --preset windows >/dev/null
cmake --build --preset windows

build=build-windows
stage=$build/release/vorteline
zip_file=$build/vorteline-win64.zip
rm -rf "$build/release" "$zip_file"
mkdir -p "$stage"
cp "$build/bin/vorteline.exe" "$stage/"
for folder in music neomeshes textures Materials PostProcessing misc; do
  cp -r "$build/bin/$folder" "$stage/"
done

# The .nfo is read on Windows: CRLF line ends.
sed 's/$/\r/' >"$stage/vorteline.nfo" <<'EOF'
 =       Vorteline | Quorl vs Vantry 2010 =

  Title ........ Vorteline
  Group ........ Quorl vs Vantry
  Year ......... 2010
  Type ......... real-time audiovisual show for Windows, about 3.5 minutes

  Credits
    Code, engine, meshes and textures ... Quorl vs Vantry
    Music "Vorteline" ................... Zelmor

  Requirements
    Windows PC (64-bit).
    An OpenGL driver with GLSL programs, framebuffer objects with blits and
    multiple draw buffers (any current graphics card and driver).
    A sound output device.

  How to run
    Unpack the whole folder and start vorteline.exe from it: the program
    reads music\, neomeshes\, textures\, Materials\, PostProcessing\ and
    misc\ beside it.
    Pick a resolution and the options (Windowed, Antialiased, Force 16:9),
    then press "Run ... ". The screen stays black while the show loads.
    Escape leaves at any moment; the show ends by itself.
    Starting it with any command-line argument opens a console that shows
    the shader compile logs.
EOF

(cd "$build/release" && zip -qr -X "../vorteline-win64.zip" vorteline)
echo "windows-release: $zip_file ($(du -h "$zip_file" | cut -f1))"
