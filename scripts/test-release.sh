#!/usr/bin/env bash
# Builds both release archives and runs each as a user would: unpacked into an empty folder and
# started from another one. Linux (scripts/linux-release.sh): --frame 120 out.png under xvfb-run
# writes a real PNG into the folder it was started from. Windows (scripts/windows-release.sh, from
# the build-windows that scripts/test-windows.sh made): under Wine in a virtual X server, the
# settings dialog appears and Escape ends the program with exit status 0, then the show finds its
# data and draws (the "release" test of scripts/test-windows.sh).
# Logs and pictures are kept in build/release-test/.
# Usage: scripts/test-release.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out=$root/build/release-test
failures=0
pass() { echo "PASS: $1"; }
fail() {
  echo "FAIL: $1"
  failures=$((failures + 1))
}

begin=$(date +%s)
scripts/linux-release.sh
archive=$root/build/vorteline-linux-x86_64.tar.gz
echo "test-release: Linux archive built in $(($(date +%s) - begin)) s"

work=$(mktemp -d "${TMPDIR:-/tmp}/vt-test-release.XXXXXX")
trap 'rm -rf "$work"' EXIT
rm -rf "$out"
mkdir -p "$out" "$work/x" "$work/start"

echo "== Linux: the archive unpacked in one folder, started from another"
begin=$(date +%s)
tar -xzf "$archive" -C "$work/x"
if [ ! -x "$work/x/vorteline/vorteline" ]; then
  fail "Linux: no vorteline/vorteline in $archive"
else
  code=0
  (cd "$work/start" && SDL_AUDIODRIVER=dummy timeout 120 xvfb-run -a ../x/vorteline/vorteline --frame 120 out.png) \
    >"$out/linux-frame.log" 2>&1 || code=$?
  [ "$code" = 0 ] && pass "Linux: --frame 120 out.png from another folder: exit 0" ||
    fail "Linux: --frame 120 out.png from another folder: exit $code (linux-frame.log)"
  picture=$work/start/out.png
  if [ -f "$picture" ]; then
    cp "$picture" "$out/linux-frame-120.png"
    # A PNG starts with its eight-byte signature; identify then reads its header and pixels.
    signature=$(head -c 8 "$picture" | od -An -tx1 | tr -d ' \n')
    size=$(identify -format '%m %w %h' "$picture" 2>/dev/null || true)
    lit=$(convert "$picture" -colorspace gray -threshold 10% -format '%[fx:mean]' info: 2>/dev/null || echo 0)
    if [ "$signature" = 89504e470d0a1a0a ] && [[ "$size" =~ ^PNG\ [1-9][0-9]*\ [1-9][0-9]*$ ]]; then
      pass "Linux: out.png in the start folder is a PNG (${size#PNG })"
    else
      fail "Linux: out.png is not a PNG (signature $signature, identify: $size)"
    fi
    # The show at 120 s is far from black; a picture drawn without the data would be.
    awk -v f="$lit" 'BEGIN { exit !(f > 0.002) }' && pass "Linux: the picture shows the show ($lit lit)" ||
      fail "Linux: the picture is black ($lit lit; linux-frame-120.png)"
  else
    fail "Linux: no out.png in the start folder (linux-frame.log)"
  fi
  others=$(find "$work/start" -mindepth 1 -maxdepth 1 ! -name out.png -printf '%f ')
  [ -z "$others" ] || fail "Linux: the program left more than out.png in the start folder: $others"
  [ ! -e "$work/x/vorteline/out.png" ] || fail "Linux: out.png was written beside the program"
fi
echo "  (Linux release: $(($(date +%s) - begin)) s)"

echo "== Windows: the zip built from build-windows and run under Wine"
begin=$(date +%s)
if scripts/windows-release.sh; then
  VT_WINDOWS_TEST_OUTPUT=$out/windows scripts/test-windows.sh release || fail "Windows: the release test (windows/)"
else
  fail "Windows: scripts/windows-release.sh failed"
fi
echo "  (Windows release: $(($(date +%s) - begin)) s)"

echo "test-release: $failures failure(s); logs and pictures in $out"
[ "$failures" = 0 ]
