#!/usr/bin/env bash
# The whole program under an X display of 1280 x 720 (Xvfb): the settings dialog, its keys, the
# show window, closing it, and the Escape ending with the recorded lines on standard output.
# Usage: program_test.sh BIN_DIR CLOSE_WINDOW_TOOL OUTPUT_DIR
set -uo pipefail
bin=$1
close_window=$2
out=$3
mkdir -p "$out"
cd "$bin"
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
dialog_title='Vantry - 2010 $'
show_title='Vantry 2010 = $'
failures=0
pid=

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Prints the id of the first mapped (viewable) window whose title matches $1, waiting up to $2
# seconds: keys and clicks go only to a window that is on the screen.
wait_window() {
  local id
  for _ in $(seq $(($2 * 10))); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# Waits up to $1 seconds for the program to end and sets `code` to its exit code (124 when it
# did not end and had to be stopped).
wait_exit() {
  for _ in $(seq $(($1 * 10))); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      code=$?
      return
    fi
    sleep 0.1
  done
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  code=124
}

start() {
  ./vorteline >"$out/$1.stdout" 2>"$out/$1.stderr" &
  pid=$!
}

# Keyboard input follows the pointer on a display without a window manager.
point_at_centre() { xdotool mousemove 640 360; }

echo "== dialog: appears centred with 1280 x 720 preselected; Escape quits with 0"
start dialog_escape
if dialog=$(wait_window "$dialog_title" 20); then
  sleep 1
  import -window root "$out/settings_dialog.png"
  geometry=$(xdotool getwindowgeometry "$dialog" | tr -d '\n')
  [[ $geometry == *"Position: 461,272"*"Geometry: 358x176"* ]] || fail "dialog geometry: $geometry"
  # The dialog is drawn (not a blank window): its pixels vary.
  spread=$(convert "$out/settings_dialog.png" -crop 358x176+461+272 -colorspace gray \
    -format '%[fx:standard_deviation]' info:)
  awk -v s="$spread" 'BEGIN { exit !(s > 0.05) }' || fail "dialog looks blank (spread $spread)"
  point_at_centre
  xdotool key Escape
  wait_exit 10
  [ "$code" = 0 ] || fail "Escape in the dialog: exit code $code"
  xdotool search --name "$show_title" >/dev/null 2>&1 && fail "a show window opened after Escape"
else
  fail "no settings dialog"
  wait_exit 1
fi

# The show needs its data beside the program; the soundtrack is the one asset start-up cannot do
# without (it ends the program with a message when the file is missing).
if [ ! -f "music/Zelmor - Vorteline.mp3" ]; then
  echo "program_test: $failures failure(s); show checks skipped: no soundtrack in $bin/music"
  [ "$failures" = 0 ] && exit 77
  exit 1
fi

echo "== show: Enter runs it fullscreen at the preselected 1280 x 720; the close box ends it with 0"
start show_close
if wait_window "$dialog_title" 20 >/dev/null; then
  sleep 0.5
  point_at_centre
  xdotool key Return
  if show=$(wait_window "$show_title" 30); then
    geometry=$(xdotool getwindowgeometry "$show" | tr -d '\n')
    [[ $geometry == *"Geometry: 1280x720"* ]] || fail "show window geometry: $geometry"
    sleep 2
    "$close_window" "$show"
    wait_exit 240
    [ "$code" = 0 ] || fail "closing the show window: exit code $code"
    grep -q -E "^(Cam|Pnt|MCr) :" "$out/show_close.stdout" && fail "closing the window printed the recorded text"
  else
    fail "no show window after Enter"
    wait_exit 1
  fi
else
  fail "no settings dialog"
  wait_exit 1
fi

echo "== show: middle clicks are recorded; Escape ends with 0 and prints the recorded lines"
start show_escape
if wait_window "$dialog_title" 20 >/dev/null; then
  sleep 0.5
  point_at_centre
  xdotool key Return
  if wait_window "$show_title" 30 >/dev/null; then
    point_at_centre
    xdotool click 2 click 2
    # Held until the program ends: an Escape released while the show still loads would be lost.
    xdotool keydown Escape
    wait_exit 240
    xdotool keyup Escape
    [ "$code" = 0 ] || fail "Escape in the show: exit code $code"
    lines=$(grep -c -E '^(Cam|Pnt|MCr) :[-0-9.e+]+,[-0-9.e+]+,[-0-9.e+]+  $' "$out/show_escape.stdout")
    [ "$lines" = 6 ] || fail "expected 6 recorded lines on stdout, got $lines"
    grep -q '^MCr :0,2,0  $' "$out/show_escape.stdout" || fail "projector eye line missing"
  else
    fail "no show window after Enter"
    wait_exit 1
  fi
else
  fail "no settings dialog"
  wait_exit 1
fi

echo "program_test: $failures failure(s); screenshot in $out/settings_dialog.png"
[ "$failures" = 0 ]
