#!/usr/bin/env bash
# The program started from a folder without its data, as a file manager or a shortcut starts it
# (../bin/vorteline): it reads its data beside itself, and the paths on its command line stay
# those of the folder it was started in. Under an X server of its own (with-display.sh).
# Usage: start_folder_test.sh BIN_DIR OUTPUT_DIR
set -uo pipefail
bin=$(cd "$1" && pwd)
out=$2
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

if [ ! -f "$bin/music/Zelmor - Vorteline.mp3" ]; then
  echo "start_folder_test: skipped: no soundtrack in $bin/music"
  exit 77
fi
rm -rf "$out"
start=$out/somewhere/else
mkdir -p "$start"
cd "$start" || exit 1
# The program by a relative path, as ../vorteline/vorteline would name it.
program=$(realpath --relative-to="$start" "$bin/vorteline")

echo "== --frame 120 out.png: the picture lands in the start folder"
timeout 120 "$program" --frame 120 out.png --size 320x180 >"$out/frame.stdout" 2>"$out/frame.stderr"
code=$?
[ "$code" = 0 ] || fail "--frame: exit code $code: $(tail -3 "$out/frame.stderr")"
if [ -f out.png ]; then
  # A frame of the show at 120 s, not a black or empty picture.
  read -r width height < <(identify -format '%w %h' out.png 2>/dev/null)
  [ "${width:-0}x${height:-0}" = 320x180 ] || fail "out.png is ${width:-?}x${height:-?}, not 320x180"
  lit=$(convert out.png -colorspace gray -threshold 10% -format "%[fx:mean]" info: 2>/dev/null)
  awk -v f="${lit:-0}" 'BEGIN { exit !(f > 0.002) }' || fail "out.png is black (${lit:-?} lit)"
else
  fail "no out.png in the start folder"
fi
[ ! -e "$bin/out.png" ] || fail "out.png written beside the program"
grep -qF "offline: wrote $start/out.png" "$out/frame.stderr" || fail "the program did not say it wrote $start/out.png"

echo "== --frames shots: the folder is made in the start folder"
timeout 120 "$program" --frames shots --from 60 --to 60.1 --fps 10 --size 64x36 >/dev/null 2>"$out/frames.stderr"
code=$?
[ "$code" = 0 ] || fail "--frames: exit code $code: $(tail -3 "$out/frames.stderr")"
[ -n "$(ls shots/*.png 2>/dev/null)" ] || fail "no pictures in $start/shots"

echo "== an output in a folder that does not exist is named from the start folder"
timeout 60 "$program" --frame 120 missing/out.png >/dev/null 2>"$out/missing.stderr"
code=$?
[ "$code" = 1 ] || fail "missing folder: exit code $code, not 1"
grep -qF "$start/missing" "$out/missing.stderr" || fail "missing folder: the message does not name $start/missing: $(cat "$out/missing.stderr")"

echo "== --probe reads the key track"
probe=$(timeout 60 "$program" --probe 12 2>"$out/probe.stderr")
code=$?
[ "$code" = 0 ] || fail "--probe: exit code $code: $(cat "$out/probe.stderr")"
keys=$(sed -n 's/.*"key_count":\([0-9]*\).*/\1/p' <<<"$probe")
[ "${keys:-0}" -gt 1000 ] || fail "--probe read no key track: $probe"

echo "start_folder_test: $failures failure(s); output in $out"
[ "$failures" = 0 ]
