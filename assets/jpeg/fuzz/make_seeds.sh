#!/bin/sh
# Writes the fuzzer's seed corpus into $1: small files of every kind the decoder reads.
set -e
out=$1
mkdir -p "$out"
tmp=$(mktemp -d)
convert -size 24x20 -seed 2 plasma:fractal -depth 8 "ppm:$tmp/src.ppm"
n=0
for opts in "-sample 1x1" "-sample 2x1" "-sample 1x2" "-sample 2x2" "-grayscale" "-progressive" \
            "-progressive -sample 2x2" "-restart 1B" "-optimize -restart 1" "-arithmetic" "-quality 5"; do
  cjpeg $opts "$tmp/src.ppm" > "$out/seed_$n.jpg" 2>/dev/null
  n=$((n + 1))
done
rm -rf "$tmp"
