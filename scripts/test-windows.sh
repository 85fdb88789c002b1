#!/usr/bin/env bash
# Cross-builds the Windows program and runs it under Wine in a virtual X server (1280 x 720), with a
# PulseAudio null sink so that waveOut opens and plays in real time. Drives it with xdotool, looks
# at it with the probe (build-windows/test-tools/win_probe.exe) and with screenshots, reads the
# clipboard with xclip. Screenshots and logs are kept in build-windows/test-output/.
# Usage: scripts/test-windows.sh [TEST...]   (all by default: template sound dialog quit show windowed
#        tap console close no-device no-music no-noise; "release" tests the zip of
#        scripts/windows-release.sh and is run by scripts/test-release.sh)
# VT_WINDOWS_TEST_OUTPUT names another folder for the screenshots and logs.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=$root/build-windows
out=${VT_WINDOWS_TEST_OUTPUT:-$build/test-output}

if [ -z "${VT_WINDOWS_TEST_INNER:-}" ]; then
  scripts/setup.sh --windows
  start=$(date +%s)
  cmake --preset windows >/dev/null
  cmake --build --preset windows
  echo "test-windows: build done in $(( $(date +%s) - start )) s"
  rm -rf "$out"
  mkdir -p "$out"
  exec xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1280x720x24" env VT_WINDOWS_TEST_INNER=1 "$0" "$@"
fi

export WINEPREFIX=$build/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export XDG_RUNTIME_DIR
XDG_RUNTIME_DIR=$(mktemp -d)
scratch=$(mktemp -d)
pulseaudio -D --exit-idle-time=-1 -n --load="module-null-sink sink_name=null" \
  --load="module-native-protocol-unix" 2>/dev/null
cleanup() {
  wineserver -k 2>/dev/null || true
  pulseaudio --kill 2>/dev/null || true
  rm -rf "$scratch" "$XDG_RUNTIME_DIR"
}
trap cleanup EXIT
# A persistent Wine server keeps the prefix's desktop (and with it the clipboard's owner) running
# between the runs and after a program has ended.
mkdir -p "$WINEPREFIX"
wineserver -k 2>/dev/null || true  # one left over from an interrupted run
wineserver -p
wineboot -i >/dev/null 2>&1

dialog_caption="     Vorteline | Quorl vs Vantry - 2010 "
window_title=" =       Vorteline | Quorl vs Vantry 2010 = "
failures=0
program_pid=""

pass() { echo "PASS: $1"; }
fail() {
  echo "FAIL: $1"
  failures=$((failures + 1))
}
probe() { wine "$build/test-tools/win_probe.exe" "$@" 2>/dev/null | tr -d '\r'; }

# start DIR NAME [ARGUMENT...]: runs vorteline.exe (or $program_file, a path from DIR) from DIR in the
# background (log program-NAME.log).
start() {
  local dir=$1 name=$2
  shift 2
  (cd "$dir" && exec env ${program_env:-} wine "${program_file:-vorteline.exe}" "$@" >"$out/program-$name.log" 2>&1) &
  program_pid=$!
}
# finish SECONDS: waits for the program to end and sets exit_code (124 when it did not end).
finish() {
  local i
  exit_code=124
  for ((i = 0; i < $1 * 10; i++)); do
    if ! kill -0 "$program_pid" 2>/dev/null; then
      exit_code=0
      wait "$program_pid" || exit_code=$?
      return
    fi
    sleep 0.1
  done
  kill "$program_pid" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  wait "$program_pid" 2>/dev/null || true
  wineserver -p
}
# until_probe SECONDS ARGS...: repeats the probe until it finds what it looks for.
until_probe() {
  local seconds=$1 i result
  shift
  for ((i = 0; i < seconds; i++)); do
    result=$(probe "$@")
    if ! grep -q '^error=' <<<"$result"; then
      echo "$result"
      return 0
    fi
    sleep 1
  done
  return 1
}
console_window() { xdotool search --name 'vorteline\.exe$' 2>/dev/null; }
# Waits up to 10 s for the console window: Wine opens it a moment after the program asks, and a
# search can fail outright while windows come and go.
until_console_window() {
  local i
  for ((i = 0; i < 20; i++)); do
    console_window && return 0
    sleep 0.5
  done
  return 1
}
# Fraction of the screen brighter than 10 % grey.
lit_fraction() { convert "$1" -colorspace gray -threshold 10% -format "%[fx:mean]" info:; }
# Holds Escape until the program ends, for 15 s at most.
hold_escape() {
  local i
  xdotool keydown Escape
  for ((i = 0; i < 150; i++)); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
  done
  xdotool keyup Escape
}
# Presses Return in the settings dialog until it goes: a key sent while Wine is still giving the
# dialog its focus can be lost. Up to three presses, 15 s apart.
accept_dialog() {
  local press i
  for ((press = 0; press < 3; press++)); do
    xdotool key Return
    for ((i = 0; i < 15; i++)); do
      sleep 1
      grep -q '^error=' <<<"$(probe dialog)" && return 0
    done
    echo "note: the dialog is still there 15 s after Return; pressing it again"
  done
  return 1
}
open_show() {
  start "$@"
  until_probe 60 dialog >/dev/null || return 1
  accept_dialog || return 1
  until_probe 60 window >/dev/null
}

# The dialog template stored in the program, against the design's values.
test_template() {
  template=$(probe template "$build/bin/vorteline.exe")
  echo "$template" >"$out/dialog-template.txt"
  if diff -u "$root/shell/win32/tests/dialog_template.expected" - <<<"$template" >"$out/dialog-template.diff"; then
    pass "dialog template 101"
  else
    fail "dialog template 101 (see $out/dialog-template.diff)"
  fi
}

# The sound output plays in real time: its position advances at the music's rate (within 10 %: the
# null sink is paced by a timer that a busy machine delays) and a spectrum of what is heard comes back.
test_sound() {
  local sound
  sound=$(cd "$build/bin" && probe sound "music/Zelmor - Vorteline.mp3")
  echo "$sound" >"$out/sound.txt"
  local frequency rate peak
  frequency=$(sed -n 's/^frequency=//p' <<<"$sound")
  rate=$(sed -n 's/^rate=//p' <<<"$sound")
  peak=$(sed -n 's/^spectrum_peak=//p' <<<"$sound")
  if grep -qx "channel=0" <<<"$sound" && [ -n "$rate" ] && [ -n "$frequency" ] &&
    awk -v r="$rate" -v f="$frequency" -v p="$peak" 'BEGIN { exit !(r > 0.9 * f && r < 1.1 * f && p > 0) }'; then
    pass "waveOut plays on channel 0 at $rate frames/s ($frequency Hz), spectrum peak $peak"
  else
    fail "sound output (sound.txt)"
  fi
}

# The dialog on screen: caption, mode list, preselection, toggles; Escape leaves with 0.
test_dialog() {
  local before=$failures
  start "$build/bin" dialog
  if dialog=$(until_probe 60 dialog); then
    sleep 1
    import -window root "$out/dialog.png"
    echo "$dialog" >"$out/dialog-state.txt"
    grep -qxF "caption=[$dialog_caption]" <<<"$dialog" || fail "dialog caption"
    grep -qxF "mode=[ 1280 x 720  (16:9)]" <<<"$dialog" || fail "mode list holds 1280 x 720 with its label"
    grep -qE "^selected=[0-9]+ \[ 1280 x 720  \(16:9\)\]$" <<<"$dialog" || fail "1280 x 720 preselected"
    grep -qx "toggle=Antialiased,1" <<<"$dialog" || fail "Antialiased on"
    grep -qx "toggle=Windowed,0" <<<"$dialog" || fail "Windowed off"
    grep -qx "toggle=Force 16:9,1" <<<"$dialog" || fail "Force 16:9 on"
    [ "$failures" = "$before" ] && pass "dialog caption, modes, selection, toggles (dialog-state.txt, dialog.png)"
    xdotool key Escape
    finish 20
    [ "$exit_code" = 0 ] && pass "Escape in the dialog: exit 0" || fail "Escape in the dialog: exit $exit_code"
  else
    fail "dialog did not appear"
    finish 1
  fi
}

# "Quit" clicked with the mouse leaves with 0.
test_quit() {
  start "$build/bin" quit
  if dialog=$(until_probe 60 dialog); then
    read -r x y < <(sed -n 's/^button=2,\([0-9]*\),\([0-9]*\)$/\1 \2/p' <<<"$dialog")
    xdotool mousemove "$x" "$y" click 1
    finish 20
    [ "$exit_code" = 0 ] && pass "Quit: exit 0" || fail "Quit: exit $exit_code"
  else
    fail "dialog did not appear (Quit)"
    finish 1
  fi
}

# Enter: the show window with its title, drawing; two middle clicks, then Escape: exit 0 and
# the six recorded lines on the clipboard.
test_show() {
  echo "nothing recorded" | xclip -selection clipboard -i
  if open_show "$build/bin" show; then
    window=$(probe window)
    echo "$window" >"$out/show-window.txt"
    grep -qxF "title=[$window_title]" <<<"$window" && pass "show window title" || fail "show window title"
    console_window >/dev/null && fail "a console opened without an argument" || pass "no console without an argument"
    # Fullscreen: popup, clipping, visible; application window; class "OpenGL" with its styles.
    grep -qx "style=0x96000000" <<<"$window" && grep -qx "exstyle=0x00040000" <<<"$window" &&
      grep -qx "class_style=0x00000023" <<<"$window" && grep -qx "outer=0,0,1280,720" <<<"$window" &&
      pass "fullscreen window styles and place" || fail "fullscreen window styles and place (show-window.txt)"
    lit=0
    for ((i = 0; i < 30; i++)); do
      sleep 2
      import -window root "$out/show.png"
      lit=$(lit_fraction "$out/show.png")
      awk -v f="$lit" 'BEGIN { exit !(f > 0.002) }' && break
    done
    awk -v f="$lit" 'BEGIN { exit !(f > 0.002) }' && pass "show draws ($lit of the screen lit, show.png)" ||
      fail "show window stays black"
    xdotool mousemove 640 360 click 2
    sleep 1
    xdotool click 2
    sleep 1
    # A tap, shorter than a frame of software rendering: the press is kept for the next idle turn.
    xdotool key Escape
    finish 30
    [ "$exit_code" = 0 ] && pass "a tap of Escape in the show: exit 0" ||
      fail "a tap of Escape in the show: exit $exit_code"
    clipboard=$(xclip -selection clipboard -o 2>/dev/null | tr -d '\r' || true)
    echo "$clipboard" >"$out/clipboard.txt"
    recorded=$(grep -cE '^(Cam|Pnt|MCr) :' <<<"$clipboard" || true)
    pattern='^Cam :[^,]+,[^,]+,[^,]+  Pnt :[^,]+,[^,]+,[^,]+  MCr :[^,]+,[^,]+,[^,]+  $'
    if [ "$recorded" = 6 ] && grep -E '^(Cam|Pnt|MCr) :' <<<"$clipboard" | paste -d '' - - - | grep -cE "$pattern" |
      grep -qx 2; then
      pass "clipboard holds the six recorded lines"
    else
      fail "clipboard after two middle clicks (clipboard.txt)"
    fi
  else
    fail "show window did not appear"
    finish 1
  fi
}

# "Windowed": a window with a system menu at (50, 50); Escape leaves with 0.
test_windowed() {
  start "$build/bin" windowed
  if dialog=$(until_probe 60 dialog); then
    read -r x y < <(sed -n 's/^button=1012,\([0-9]*\),\([0-9]*\)$/\1 \2/p' <<<"$dialog")
    xdotool mousemove "$x" "$y" click 1
    sleep 1
    grep -qx "toggle=Windowed,1" <(probe dialog) || fail "Windowed toggles on when clicked"
    xdotool key Return
    if window=$(until_probe 60 window); then
      echo "$window" >"$out/windowed-window.txt"
      style=$(sed -n 's/^style=//p' <<<"$window")
      grep -qE "^outer=50,50," <<<"$window" && (((style & 0x80000000) == 0 && (style & 0x00080000) != 0)) &&
        pass "windowed: system-menu window at (50, 50)" || fail "windowed window (windowed-window.txt)"
      sleep 3
      import -window root "$out/windowed.png"
      hold_escape
      finish 30
      [ "$exit_code" = 0 ] && pass "windowed, Escape: exit 0" || fail "windowed, Escape: exit $exit_code"
    else
      fail "windowed: no show window"
      finish 1
    fi
  else
    fail "dialog did not appear (windowed)"
    finish 1
  fi
}

# A tap of Escape while the show still loads ends it right after the loading.
test_tap() {
  if open_show "$build/bin" tap; then
    xdotool mousemove 640 360 key Escape
    finish 60
    [ "$exit_code" = 0 ] && pass "a tap of Escape during the loading: exit 0" ||
      fail "a tap of Escape during the loading: exit $exit_code"
  else
    fail "show window did not appear (tap)"
    finish 1
  fi
}

# Any argument opens a console (its window is named after the program file).
test_console() {
  if open_show "$build/bin" console x; then
    until_console_window >/dev/null && pass "an argument opens a console" || fail "no console with an argument"
    hold_escape
    finish 30
    [ "$exit_code" = 0 ] && pass "with a console, Escape: exit 0" || fail "with a console, Escape: exit $exit_code"
  else
    fail "show window did not appear (console)"
    finish 1
  fi
}

# Closing the window (Alt+F4) leaves with 0 and leaves the clipboard alone.
test_close() {
  echo "left alone" | xclip -selection clipboard -i
  if open_show "$build/bin" close; then
    sleep 3
    xdotool mousemove 640 360 click 2
    sleep 1
    xdotool key alt+F4
    finish 30
    [ "$exit_code" = 0 ] && pass "window closed: exit 0" || fail "window closed: exit $exit_code"
    clipboard=$(xclip -selection clipboard -o 2>/dev/null | tr -d '\r' || true)
    [ "$clipboard" = "left alone" ] && pass "closing leaves the clipboard alone" ||
      fail "closing changed the clipboard to: $clipboard"
  else
    fail "show window did not appear (close)"
    finish 1
  fi
}

# No sound device (the PulseAudio server is out of reach): the box after loading, then exit code 1.
test_no-device() {
  program_env="PULSE_SERVER=unix:/nonexistent"
  if open_show "$build/bin" no-device && box=$(until_probe 120 box Vorteline); then
    import -window root "$out/no-device.png"
    grep -qxF 'text=[Problem initializing FMod. \nProgram will now exit.]' <<<"$box" &&
      pass "no-device: box \"Vorteline\" says the program will exit" || fail "no-device: box says ${box#text=}"
    xdotool key Return
    finish 30
    [ "$exit_code" = 1 ] && pass "no-device: exit 1" || fail "no-device: exit $exit_code"
  else
    fail "no-device: no box \"Vorteline\""
    finish 1
  fi
  program_env=""
}

# missing_file NAME FILE CAPTION TEXT CODE: with FILE removed, the box CAPTION says TEXT; OK ends
# with exit code CODE.
missing_file() {
  local dir=$scratch/$1
  cp -r "$build/bin" "$dir"
  rm "$dir/$2"
  # The box may come before the show window is found, so only the dialog and the box are waited for.
  start "$dir" "$1"
  if ! until_probe 60 dialog >/dev/null; then
    import -window root "$out/$1-no-dialog.png"
    fail "$1: no settings dialog in 60 s (see $1-no-dialog.png, program-$1.log)"
    finish 1
  elif accept_dialog && box=$(until_probe 120 box "$3"); then
    import -window root "$out/$1.png"
    grep -qxF "text=[$4]" <<<"$box" && pass "$1: box \"$3\" says $4" || fail "$1: box says ${box#text=}"
    xdotool key Return
    finish 30
    [ "$exit_code" = "$5" ] && pass "$1: exit $5" || fail "$1: exit $exit_code"
  else
    import -window root "$out/$1-no-box.png"
    fail "$1: no box \"$3\" in 120 s after the dialog went (see $1-no-box.png, program-$1.log; window: $(probe window | head -1))"
    finish 1
  fi
}

# Start-up failures: the music file, the noise texture.
test_no-music() {
  missing_file no-music "music/Zelmor - Vorteline.mp3" "Vorteline" 'Problem initializing FMod. \nNo sound file.' 1
}
test_no-noise() { missing_file no-noise "textures/noise.jpg" "Jpg !" "textures/noise.jpg" 1; }

# The release zip unpacked into an empty folder and started from another one, as a shortcut starts
# it: the dialog appears and Escape ends it with 0; the show then finds its data beside the
# program (without it a box says there is no sound file), draws, and Escape ends it with 0.
test_release() {
  local zip=$build/vorteline-win64.zip release=$scratch/release
  if [ ! -f "$zip" ]; then
    fail "release: no $zip (scripts/windows-release.sh)"
    return
  fi
  mkdir -p "$release/unpacked" "$release/start"
  unzip -q "$zip" -d "$release/unpacked"
  [ -f "$release/unpacked/vorteline/vorteline.exe" ] || fail "release: no vorteline/vorteline.exe in the zip"
  program_file=../unpacked/vorteline/vorteline.exe
  start "$release/start" release-dialog
  if until_probe 60 dialog >/dev/null; then
    pass "release from another folder: the dialog appears"
    xdotool key Escape
    finish 20
    [ "$exit_code" = 0 ] && pass "release from another folder, Escape in the dialog: exit 0" ||
      fail "release from another folder, Escape in the dialog: exit $exit_code"
  else
    fail "release from another folder: no dialog"
    finish 1
  fi
  if open_show "$release/start" release-show; then
    lit=0
    for ((i = 0; i < 30; i++)); do
      sleep 2
      import -window root "$out/release-show.png"
      lit=$(lit_fraction "$out/release-show.png")
      awk -v f="$lit" 'BEGIN { exit !(f > 0.002) }' && break
      kill -0 "$program_pid" 2>/dev/null || break
    done
    awk -v f="$lit" 'BEGIN { exit !(f > 0.002) }' && pass "release from another folder: the show draws ($lit lit)" ||
      fail "release from another folder: the show stays black (release-show.png)"
    hold_escape
    finish 30
    [ "$exit_code" = 0 ] && pass "release from another folder, Escape in the show: exit 0" ||
      fail "release from another folder, Escape in the show: exit $exit_code"
  else
    fail "release from another folder: no show window"
    finish 1
  fi
  [ "$(ls "$release/start")" = "" ] || fail "release: the program wrote into the start folder: $(ls "$release/start")"
  program_file=""
}

tests=("$@")
[ ${#tests[@]} -gt 0 ] || tests=(template sound dialog quit show tap windowed console close no-device no-music no-noise)
for name in "${tests[@]}"; do
  begin=$(date +%s)
  "test_$name"
  echo "  ($name: $(( $(date +%s) - begin )) s)"
done
echo "test-windows: $failures failure(s); artifacts in $out"
[ "$failures" = 0 ]
