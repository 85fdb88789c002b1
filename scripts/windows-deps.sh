#!/usr/bin/env bash
# Builds the Windows (x86-64, mingw-w64) static libraries the program links — GLEW, libmpg123 and
# kissfft — from Debian's source packages into a prefix outside the tree.
# Usage: scripts/windows-deps.sh [PREFIX]   (default: $HOME/.cache/vorteline-win64)
set -euo pipefail
cd "$(dirname "$0")/.."
prefix=${1:-${VORTELINE_WIN64_PREFIX:-$HOME/.cache/vorteline-win64}}
if [ -f "$prefix/.complete" ]; then exit 0; fi
scripts/setup.sh --windows

# Source packages need deb-src entries: add a copy of the binary entries once.
src_list=/etc/apt/sources.list.d/vorteline-deb-src.sources
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | $sudo tee "$src_list" >/dev/null
  $sudo apt-get update -qq >/dev/null
fi

host=x86_64-w64-mingw32
cc=$host-gcc-posix
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$prefix/include/GL" "$prefix/lib"
cd "$work"
echo "windows-deps: fetching glew, mpg123, kissfft sources" >&2
# The archive may lack a detached signature that a .dsc lists: fetch each package and unpack it
# without the signature check instead of failing.
for pkg in glew mpg123 kissfft; do
  apt-get source --download-only -qq "$pkg" >/dev/null 2>&1 || true
  dsc=$(ls ${pkg}_*.dsc 2>/dev/null | head -1)
  [ -n "$dsc" ] || { echo "windows-deps: cannot fetch the $pkg source package" >&2; exit 1; }
  dpkg-source --no-check -x "$dsc" >/dev/null
done

# GLEW: one C file, linked statically.
glew=$(find . -maxdepth 1 -type d -name 'glew-*' | head -1)
$cc -O2 -DGLEW_STATIC -I"$glew/include" -c "$glew/src/glew.c" -o glew.o
$host-ar rcs "$prefix/lib/libglew32.a" glew.o
cp "$glew"/include/GL/*.h "$prefix/include/GL/"

# kissfft: the complex and real transforms in single precision.
kiss=$(find . -maxdepth 1 -type d -name 'kissfft-*' | head -1)
$cc -O2 -Dkiss_fft_scalar=float -c "$kiss/kiss_fft.c" -o kiss_fft.o
$cc -O2 -Dkiss_fft_scalar=float -I"$kiss" -c "$kiss/kiss_fftr.c" -o kiss_fftr.o
$host-ar rcs "$prefix/lib/libkissfft-float.a" kiss_fft.o kiss_fftr.o
mkdir -p "$prefix/include/kissfft"
cp "$kiss"/kiss_fft.h "$kiss"/kiss_fftr.h "$prefix/include/kissfft/"
[ -f "$kiss/kiss_fft_log.h" ] && cp "$kiss/kiss_fft_log.h" "$prefix/include/kissfft/"

# libmpg123 only (no player, no output modules), static, generic x86-64 decoder.
mpg=$(find . -maxdepth 1 -type d -name 'mpg123-*' | head -1)
(cd "$mpg" && ./configure -q --host=$host CC=$cc --prefix="$prefix" --enable-static --disable-shared \
   --enable-modules=no --with-audio=dummy --with-cpu=x86-64 >/dev/null 2>&1 &&
 make -s -j2 src/libmpg123/libmpg123.la >/dev/null 2>&1)
cp "$mpg"/src/libmpg123/.libs/libmpg123.a "$prefix/lib/"
cp "$mpg"/src/libmpg123/mpg123.h "$mpg"/src/libmpg123/fmt123.h "$prefix/include/"
touch "$prefix/.complete"
echo "windows-deps: ready in $prefix" >&2
