#!/usr/bin/env bash
# Runs a command under an X server of its own (Xvfb, 1280 x 720 x 24 unless --size says otherwise),
# so a test that needs a display never depends on the caller's display, or on there being one,
# and concurrent tests never share or race for a server: Xvfb picks a free display number itself
# and reports it once it accepts connections.
# Usage: with-display.sh [--size WxH] COMMAND [ARGUMENTS...]
set -uo pipefail
size=1280x720
if [ "${1:-}" = "--size" ]; then
  size=$2
  shift 2
fi
[ $# -gt 0 ] || { echo "usage: with-display.sh [--size WxH] COMMAND [ARGUMENTS...]" >&2; exit 2; }
command -v Xvfb >/dev/null || { echo "with-display.sh: Xvfb is not installed (scripts/setup.sh)" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/vt-display.XXXXXX")
server=
stop_server() {
  if [ -n "$server" ]; then
    kill "$server" 2>/dev/null
    wait "$server" 2>/dev/null
    server=
  fi
  rm -rf "$work"
}
# A test stopped by its time limit takes its server with it.
trap 'stop_server; exit 143' TERM INT HUP
trap stop_server EXIT

# -noreset: the server keeps running when its last client disconnects (programs under test come
# and go); -nolisten tcp: local connections only.
Xvfb -displayfd 3 -screen 0 "${size}x24" -noreset -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
server=$!
for _ in $(seq 300); do
  [ -s "$work/display" ] && break
  kill -0 "$server" 2>/dev/null || break
  sleep 0.05
done
number=$(head -n1 "$work/display" 2>/dev/null)
if [ -z "$number" ]; then
  echo "with-display.sh: Xvfb did not start:" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi

export DISPLAY=":$number"
# Access to this server is not controlled by a cookie; a cookie file for another server would
# only be consulted in vain.
unset XAUTHORITY
"$@" &
child=$!
trap 'kill "$child" 2>/dev/null; wait "$child" 2>/dev/null; stop_server; exit 143' TERM INT HUP
wait "$child"
exit $?
