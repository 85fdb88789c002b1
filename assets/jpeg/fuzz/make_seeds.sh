#!/bin/sh
# Writes the fuzzer's seed corpus into $1: small files of every kind the decoder reads, frames up
# to the largest it takes (wide, tall and large ones of little data), odd sizes at every sampling
# for the upsampling edges, restarts in sequential and progressive files, RGB, and a header that
# claims more picture than its data holds.
set -e
out=$1
mkdir -p "$out"
tmp=$(mktemp -d)
convert -size 24x20 -seed 2 plasma:fractal -depth 8 "ppm:$tmp/src.ppm"
convert -size 17x13 -seed 3 plasma:fractal -depth 8 "ppm:$tmp/odd.ppm"
convert -size 8192x16 gradient:navy-orange -depth 8 "ppm:$tmp/wide.ppm"
convert -size 16x8192 gradient:white-black -depth 8 "ppm:$tmp/tall.ppm"
convert -size 1024x1024 xc:gray40 -depth 8 "ppm:$tmp/flat.ppm"
n=0
seed() {
  cjpeg "$@" 2>/dev/null > "$out/seed_$n.jpg"
  n=$((n + 1))
}
for opts in "-sample 1x1" "-sample 2x1" "-sample 1x2" "-sample 2x2" "-grayscale" "-progressive" \
            "-progressive -sample 2x2" "-restart 1B" "-optimize -restart 1" "-arithmetic" "-quality 5" "-rgb"; do
  seed $opts "$tmp/src.ppm"
done
for opts in "-sample 2x2" "-sample 2x1" "-sample 1x2" "-progressive -sample 2x2" "-progressive -sample 1x2" \
            "-progressive -restart 1B" "-sample 2x2 -restart 2B" "-rgb -sample 2x2"; do
  seed $opts "$tmp/odd.ppm"
done
seed -quality 30 -sample 2x2 "$tmp/wide.ppm"
seed -quality 30 -grayscale -progressive "$tmp/tall.ppm"
seed -quality 30 -progressive -sample 2x2 "$tmp/flat.ppm"
seed -quality 30 -grayscale -restart 4 "$tmp/flat.ppm"
# A small file whose frame header claims 8192 lines.
python3 - "$out/seed_0.jpg" "$out/seed_$n.jpg" <<'PY'
import sys
data = bytearray(open(sys.argv[1], "rb").read())
at = data.find(b"\xff\xc0")
data[at + 5:at + 7] = (8192).to_bytes(2, "big")
open(sys.argv[2], "wb").write(data)
PY
rm -rf "$tmp"
