#!/usr/bin/env bash
# Installs every Debian package the build, the show and the tests need; with --runtime only those
# the program needs to run (scripts/runtime-packages.txt, the list the Linux release names); with
# --windows those of the Windows cross build and its tests as well.
# Idempotent and quiet when everything is already there. Run as root (or with sudo available).
set -euo pipefail

# The runtime packages: the first word of each line that is not a comment.
mapfile -t runtime_packages < <(sed -e 's/#.*//' -e '/^[[:space:]]*$/d' "$(dirname "$0")/runtime-packages.txt" |
  awk '{ print $1 }')

packages=(
  # toolchain
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
  # libraries the program links
  libsdl2-dev libglew-dev libglu1-mesa-dev libmpg123-dev libkissfft-dev libimgui-dev
  # tests, benchmarks and their oracles
  libgtest-dev libgmock-dev libbenchmark-dev libtinyobjloader-dev libjpeg-turbo-progs
  libturbojpeg0-dev libstb-dev glslang-tools
  # data generation (soundtrack encoder, pictures)
  libmp3lame-dev lame imagemagick
  # headless OpenGL, capture, desktop automation
  xvfb xauth libgl1-mesa-dri mesa-utils ffmpeg xdotool xclip
)

packages+=("${runtime_packages[@]}")

if [ "${1:-}" = "--runtime" ]; then
  packages=("${runtime_packages[@]}")
elif [ "${1:-}" = "--windows" ]; then
  packages+=(g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine wine64 pulseaudio pulseaudio-utils
             dpkg-dev zip unzip)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "setup: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq >/dev/null
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
