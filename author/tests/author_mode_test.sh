#!/usr/bin/env bash
# Author mode driven by key presses, under an X server of its own (started by with-display.sh):
# the window opens at once at the asked size and the show moves; Space holds the picture still;
# Home and Page Down while paused land on the picture of the offline `--frame` of that time; a
# shader edited in the --data folder is rebuilt while the show runs, a broken one keeps the old
# program and shows its error; Escape ends with 0 and the designed ending. Then the default
# program: the authoring keys change nothing and Escape ends it as designed.
# Usage: author_mode_test.sh BIN_DIR OUTPUT_DIR
set -uo pipefail
bin=$1
out=$2
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
mkdir -p "$out"
rm -f "$out"/*.png
cd "$bin" || exit 1
if [ ! -f "music/Zelmor - Vorteline.mp3" ]; then
  echo "author_mode_test: skipped: no soundtrack in $bin/music"
  exit 77
fi
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

width=640
height=360
# The status line (and a shader error below it) covers the top rows; pictures are compared below.
below_status="${width}x$((height - 48))+0+48"
show_title='Vantry 2010 = $'

# find_window SECONDS [TITLE]: a visible window titled TITLE (the show window's by default).
find_window() {
  local id
  for _ in $(seq $(($1 * 10))); do
    id=$(xdotool search --onlyvisible --name "${2:-$show_title}" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
}
# recorded FILE: how many of the Escape ending's six recorded lines FILE holds.
recorded() { grep -c -E '^(Cam|Pnt|MCr) :[-0-9.e+]+,[-0-9.e+]+,[-0-9.e+]+  $' "$1"; }
# shot NAME: the window's picture below the status line.
shot() {
  import -window "$window" "$out/$1-full.png"
  convert "$out/$1-full.png" -crop "$below_status" +repage "$out/$1.png"
}
# differing A B: how many pixels of two pictures differ.
differing() { compare -metric AE "$out/$1.png" "$out/$2.png" null: 2>&1 | cut -d' ' -f1; }
# psnr A B: how close two pictures are, in dB.
psnr() { compare -metric PSNR "$out/$1.png" "$out/$2.png" null: 2>&1 | cut -d' ' -f1; }
# until_lines TEXT COUNT SECONDS: waits for COUNT lines holding TEXT on the program's output.
until_lines() {
  for _ in $(seq $(($3 * 10))); do
    [ "$(grep -cF "$1" "$out/author.stdout")" -ge "$2" ] && return 0
    sleep 0.1
  done
  return 1
}
key() {
  xdotool key "$@"
  sleep 0.3
}

# The shaders come from a copy, so the test can edit them.
data=$out/data
rm -rf "$data"
mkdir -p "$data"
cp -r Materials PostProcessing "$data/"

timeout 300 ./vorteline --author --from 95 --size ${width}x$height --data "$data" \
  >"$out/author.stdout" 2>"$out/author.stderr" &
program=$!
window=$(find_window 60)
if [ -z "$window" ]; then
  fail "no show window ($(cat "$out/author.stderr"))"
  kill "$program" 2>/dev/null
  wait "$program"
  exit 1
fi
geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/^ *Geometry: //p')
[ "$geometry" = "${width}x$height" ] || fail "window size $geometry, asked ${width}x$height"
grep -qF "author: shaders from $data" "$out/author.stdout" || fail "no line naming the shader folder"
# Keys go to the window under the pointer.
xdotool mousemove --window "$window" 100 100
sleep 3

echo "== running, the picture moves; paused, it holds still"
shot running-1
sleep 1
shot running-2
moved=$(differing running-1 running-2)
[ "${moved:-0}" -gt 1000 ] || fail "the running show did not move: $moved pixels changed in 1 s"
key space
sleep 1
shot paused-1
sleep 1.5
shot paused-2
still=$(differing paused-1 paused-2)
[ "$still" = 0 ] || fail "the paused show moved: $still pixels changed"

echo "== Home and Page Down x 21 while paused: the offline frame at 105 s"
key Home
for _ in $(seq 21); do xdotool key Next; done
sleep 2
shot seek-105
./vorteline --frame 105 "$out/frame-105-full.png" --size ${width}x$height >"$out/frame.log" 2>&1 ||
  fail "--frame 105 failed: $(cat "$out/frame.log")"
convert "$out/frame-105-full.png" -crop "$below_status" +repage "$out/frame-105.png"
seek_moved=$(differing paused-2 seek-105)
[ "${seek_moved:-0}" -gt 1000 ] || fail "the seek did not change the picture: $seek_moved pixels"
# A frame's random values (the occlusion pattern's offset, what the scene draws at random) are
# seeded from the time before its step; a paused frame has no step, so it is seeded from its own
# time and the two pictures are close rather than equal: the seek must land nearer the frame at
# 105 s than one 1/10 s later (a camera 6 frames on) and within 28 dB of it.
./vorteline --frame 105.1 "$out/frame-105.1-full.png" --size ${width}x$height >>"$out/frame.log" 2>&1
convert "$out/frame-105.1-full.png" -crop "$below_status" +repage "$out/frame-105.1.png"
near=$(psnr seek-105 frame-105)
later=$(psnr seek-105 frame-105.1)
echo "seek to 105 s against --frame 105: $near dB, against --frame 105.1: $later dB"
awk -v n="$near" -v l="$later" 'BEGIN { exit !(n >= 28 && n > l + 3) }' ||
  fail "the seek to 105 s does not show the frame at 105 s ($near dB; $later dB to 105.1 s)"

echo "== a shader edited while the show runs is rebuilt; a broken one keeps the old program"
key space
shader=$data/Materials/f_material1.cpp
sleep 1.1  # a change within the same second as the copy must still show in the file's time
printf '\n// edited\n' >>"$shader"
until_lines "author: shaders rebuilt from $data" 1 10 || fail "no rebuild after an edit of $shader"
cp "$shader" "$out/shader.saved"
printf 'this is not a shader\n' >>"$shader"
until_lines "(the previous program stays)" 1 10 || fail "no error line after a broken edit of $shader"
sleep 1
shot broken
lit=$(convert "$out/broken.png" -colorspace gray -threshold 10% -format "%[fx:mean]" info:)
awk -v l="$lit" 'BEGIN { exit !(l > 0.01) }' || fail "with a broken shader the picture went dark ($lit lit)"
# The compiler's message stands in red under the status line.
red=$(convert "$out/broken-full.png" -crop ${width}x24+0+21 -fx "r > 0.6 && g < 0.5 && b < 0.5" -format "%[fx:mean]" info:)
awk -v r="$red" 'BEGIN { exit !(r > 0.01) }' || fail "no red error line under the status line ($red of it red)"
cp "$out/shader.saved" "$shader"
until_lines "author: shaders rebuilt from $data" 2 10 || fail "no rebuild after the fix"

echo "== two middle clicks record, Escape ends with 0 and prints the records"
xdotool click 2 click 2
key Escape
for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$program" 2>/dev/null; then
  fail "still running 10 s after Escape"
  kill "$program"
fi
wait "$program"
code=$?
[ "$code" = 0 ] || fail "exit $code after Escape ($(cat "$out/author.stderr"))"
[ "$(recorded "$out/author.stdout")" = 6 ] || fail "not the designed ending: $(recorded "$out/author.stdout") recorded lines, not 6"

echo "== the default program: the authoring keys do nothing, Escape ends as designed"
timeout 300 ./vorteline >"$out/default.stdout" 2>"$out/default.stderr" &
program=$!
window=
if [ -z "$(find_window 30 'Vantry - 2010 $')" ]; then
  fail "default: no settings dialog"
else
  sleep 0.5
  xdotool key Return
  window=$(find_window 60)
fi
if [ -z "$window" ] || ! kill -0 "$program" 2>/dev/null; then
  fail "default: no show window"
else
  xdotool mousemove --window "$window" 100 100
  # Drawing has begun once a tenth of the picture is lit.
  for _ in $(seq 60); do
    shot default-start
    lit=$(convert "$out/default-start.png" -colorspace gray -threshold 10% -format "%[fx:mean]" info:)
    awk -v l="$lit" 'BEGIN { exit !(l > 0.1) }' && break
    sleep 1
  done
  key space
  key Tab
  sleep 0.5
  shot default-1
  sleep 1
  shot default-2
  moved=$(differing default-1 default-2)
  [ "${moved:-0}" -gt 1000 ] || fail "default: Space held the show ($moved pixels changed in 1 s)"
  for k in Next Home comma period bracketleft bracketright BackSpace F5; do xdotool key $k; done
  sleep 1
  # F5 would rebuild the shaders and say so.
  grep -q "author:" "$out/default.stdout" && fail "default: an author line on standard output"
  xdotool click 2 click 2
  key Escape
  for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
fi
kill "$program" 2>/dev/null && fail "default: still running 10 s after Escape"
wait "$program"
code=$?
[ "$code" = 0 ] || fail "default: exit $code after Escape"
[ "$(recorded "$out/default.stdout")" = 6 ] || fail "default: not the designed ending: $(recorded "$out/default.stdout") recorded lines, not 6"

echo "author_mode_test: $failures failure(s); pictures in $out"
[ "$failures" = 0 ]
