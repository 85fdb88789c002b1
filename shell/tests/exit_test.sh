#!/usr/bin/env bash
# The Escape ending, under an X server of its own (800 x 600, started by with-display.sh): a quick
# tap of Escape ends the show whether it comes during the loading or during a frame, and the
# recorded lines stay on the clipboard after the program has ended, served by the clipboard keeper
# until another program takes the clipboard.
# Usage: exit_test.sh BIN_DIR OUTPUT_DIR
set -uo pipefail
bin=$1
out=$2
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
mkdir -p "$out"
cd "$bin" || exit 1
failures=0
# Ends of the settings dialog's caption and of the show window's title.
dialog_title='Vantry - 2010 $'
show_title='Vantry 2010 = $'

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# The id of the first window whose title matches $1, within $2 seconds.
# The id of a visible window titled $1, waited for up to $2 seconds. A search is repeated rather than
# left to wait: one can fail outright when a window it looks at goes away under it.
find_window() {
  local id
  for _ in $(seq $(($2 * 10))); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
}

clipboard() { timeout 10 xclip -o -selection clipboard 2>&1; }

# Another program takes the clipboard with `text` and serves one paste.
take_clipboard() { printf '%s' "$1" | timeout 20 xclip -i -selection clipboard -l 1 >/dev/null 2>&1 & }

echo "== the keeper serves the clipboard until another program takes it"
printf 'kept text\n' | timeout 30 ./vorteline --keep-clipboard >"$out/keeper.ready" 2>"$out/keeper.stderr" &
keeper=$!
for _ in $(seq 100); do [ -s "$out/keeper.ready" ] && break; sleep 0.1; done
[ -s "$out/keeper.ready" ] || fail "the keeper did not say it holds the clipboard ($(cat "$out/keeper.stderr"))"
got=$(clipboard)
[ "$got" = "kept text" ] || fail "clipboard while the keeper holds it: [$got]"
take_clipboard "taken"
wait "$keeper"
code=$?
[ "$code" = 0 ] || fail "the keeper did not end with 0 when another program took the clipboard: $code"
got=$(clipboard)
[ "$got" = "taken" ] || fail "the other program does not hold the clipboard: [$got]"

# The show needs its data beside the program.
if [ ! -f "music/Zelmor - Vorteline.mp3" ]; then
  echo "exit_test: $failures failure(s); show checks skipped: no soundtrack in $bin/music"
  [ "$failures" = 0 ] && exit 77
  exit 1
fi

# show NAME WHEN: runs the show from the dialog, middle-clicks twice, taps Escape (press and release
# in one go) during the loading or once the show draws, and checks the Escape ending: exit code 0
# and the six recorded lines on standard output and, after the exit, on the clipboard.
show() {
  local name=$1 when=$2
  take_clipboard "before $name"
  # The show would end by itself after 215 s of show time, without the recorded lines.
  timeout 300 ./vorteline >"$out/$name.stdout" 2>"$out/$name.stderr" &
  local program=$!
  if [ -z "$(find_window "$dialog_title" 30)" ]; then
    kill -0 "$program" 2>/dev/null || { wait "$program"; echo "$name: the program ended with $?"; }
    fail "$name: no settings dialog"
    kill "$program"
    return
  fi
  sleep 0.5
  xdotool mousemove 400 300
  xdotool key Return
  if [ -z "$(find_window "$show_title" 60)" ]; then
    fail "$name: no show window"
    kill "$program"
    return
  fi
  xdotool mousemove 400 300 click 2 click 2
  if [ "$when" = drawing ]; then
    # Drawing has begun once something on the screen is lit.
    for _ in $(seq 120); do
      import -window root "$out/$name.png" 2>/dev/null
      lit=$(convert "$out/$name.png" -colorspace gray -threshold 10% -format "%[fx:mean]" info: 2>/dev/null)
      awk -v f="${lit:-0}" 'BEGIN { exit !(f > 0.002) }' && break
      kill -0 "$program" 2>/dev/null || break
      sleep 1
    done
  fi
  xdotool key Escape
  wait "$program"
  local code=$?
  [ "$code" = 0 ] || fail "$name: exit code $code"
  local lines
  lines=$(grep -c -E '^(Cam|Pnt|MCr) :[-0-9.e+]+,[-0-9.e+]+,[-0-9.e+]+  $' "$out/$name.stdout")
  [ "$lines" = 6 ] || fail "$name: not the Escape ending: $lines recorded lines on standard output"
  # The text copied is the one printed (standard output may hold shader logs before it).
  clipboard >"$out/$name.clipboard"
  local size
  size=$(stat -c %s "$out/$name.clipboard")
  [ "$size" -gt 0 ] && cmp -s <(tail -c "$size" "$out/$name.stdout") "$out/$name.clipboard" &&
    [ "$(grep -c -E '^(Cam|Pnt|MCr) :' "$out/$name.clipboard")" = 6 ] ||
    fail "$name: after the exit the clipboard holds: $(head -c 200 "$out/$name.clipboard")"
}

echo "== a tap of Escape during the loading ends the show right after it"
show tap_loading loading
echo "== a tap of Escape shorter than a frame ends the show"
show tap_drawing drawing

echo "exit_test: $failures failure(s); output in $out"
[ "$failures" = 0 ]
