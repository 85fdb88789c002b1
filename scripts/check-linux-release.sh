#!/usr/bin/env bash
# Checks the Linux release as the build installs it (the same rules CPack packs): one folder
# "vorteline" holding the program, vorteline.nfo and the six data folders, nothing else; every
# library the program loads (ldd) comes from a Debian package on scripts/runtime-packages.txt,
# from one apt installs along with those (their dependencies, followed recursively), or from the
# base system; the .nfo names every runtime package; and the installed program, started from
# another folder, finds its data (a timeline probe reads the key track from misc/).
# Prints each library with its package. Needs no display.
# Usage: scripts/check-linux-release.sh BUILD_DIR
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: check-linux-release.sh BUILD_DIR}" && pwd)
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Present on every Debian system (priority "required"): the C and C++ runtimes and zlib.
base_packages=(libc6 libgcc-s1 libstdc++6 zlib1g)
mapfile -t runtime_packages < <(sed -e 's/#.*//' -e '/^[[:space:]]*$/d' "$root/scripts/runtime-packages.txt" |
  awk '{ print $1 }')

work=$(mktemp -d "${TMPDIR:-/tmp}/vt-release.XXXXXX")
trap 'rm -rf "$work"' EXIT
if ! cmake --install "$build" --prefix "$work/unpacked" >"$work/install.log" 2>&1; then
  cat "$work/install.log"
  echo "check-linux-release: the install failed"
  exit 1
fi
folder=$work/unpacked/vorteline
program=$folder/vorteline

echo "== the release folder"
expected="Materials PostProcessing misc music neomeshes textures vorteline vorteline.nfo"
got=$(ls "$work/unpacked" | tr '\n' ' ' | sed 's/ $//')
[ "$got" = vorteline ] || fail "the release holds [$got] beside the folder vorteline"
got=$(LC_ALL=C ls "$folder" | sort | tr '\n' ' ' | sed 's/ $//')
[ "$got" = "$(tr ' ' '\n' <<<"$expected" | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//')" ] ||
  fail "the folder holds [$got], not [$expected]"
[ -x "$program" ] || fail "no program $program"
[ -f "$folder/music/Zelmor - Vorteline.mp3" ] || fail "no soundtrack in the release"
# The only program in the release is vorteline: no tests, tools or benchmarks.
others=$(find "$folder" -type f -perm -u+x ! -path "$program")
[ -z "$others" ] || fail "other programs in the release: $others"

echo "== the runtime packages are installed here and named in vorteline.nfo"
for p in "${runtime_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
    fail "runtime package $p is not installed (scripts/setup.sh --runtime)"
  grep -qE "(^| )$p( |$)" "$folder/vorteline.nfo" || fail "vorteline.nfo does not name $p"
done

# The packages apt installs along with the runtime packages: their Depends and Pre-Depends, every
# alternative, followed until nothing new comes.
declare -A allowed=() via=()
for p in "${base_packages[@]}"; do allowed[$p]=1; via[$p]="base system"; done
queue=()
for p in "${runtime_packages[@]}"; do allowed[$p]=1; via[$p]="runtime list"; queue+=("$p"); done
while [ ${#queue[@]} -gt 0 ]; do
  next=()
  while read -r parent dependencies; do
    for d in $(tr ',|' '\n\n' <<<"$dependencies" | sed -E 's/\(.*\)//; s/:[a-z0-9]+//; s/[[:space:]]//g'); do
      [ -n "$d" ] && [ -z "${allowed[$d]:-}" ] || continue
      allowed[$d]=1
      via[$d]="with ${via[$parent]#with }"
      [ "${via[$parent]}" = "runtime list" ] && via[$d]="with $parent"
      next+=("$d")
    done
  done < <(dpkg-query -W -f='${Package} ${Depends}, ${Pre-Depends}\n' "${queue[@]}" 2>/dev/null)
  queue=("${next[@]}")
done

# The package that holds a library: dpkg knows it by the path it was unpacked to, which on a
# merged-/usr system may be /lib/... for /usr/lib/... and the other way round, or by the link name.
package_of() {
  local path candidate
  for path in "$1" "$(readlink -f "$1")"; do
    for candidate in "$path" "${path#/usr}" "/usr$path"; do
      dpkg-query -S "$candidate" 2>/dev/null | awk -F: 'NR == 1 { print $1; found = 1 } END { exit !found }' &&
        return 0
    done
  done
  return 1
}

echo "== the libraries the program loads"
ldd "$program" >"$work/ldd.txt" 2>&1 || fail "ldd failed: $(cat "$work/ldd.txt")"
missing=$(grep 'not found' "$work/ldd.txt")
[ -z "$missing" ] || fail "libraries not found: $missing"
count=0
while read -r library; do
  count=$((count + 1))
  if ! package=$(package_of "$library"); then
    fail "$library belongs to no Debian package"
    continue
  fi
  if [ -n "${allowed[$package]:-}" ]; then
    printf '  %-58s %s (%s)\n' "$library" "$package" "${via[$package]}"
  else
    fail "$library comes from $package, neither a runtime package nor one of their dependencies"
  fi
done < <(awk '$2 == "=>" && $3 ~ /^\// { print $3 } $1 ~ /^\// { print $1 }' "$work/ldd.txt")
[ "$count" -gt 0 ] || fail "ldd listed no libraries"
echo "  $count libraries"

echo "== the program, started from another folder, finds its data"
mkdir -p "$work/elsewhere"
probe=$(cd "$work/elsewhere" && env -u DISPLAY SDL_AUDIODRIVER=dummy timeout 60 "$program" --probe 12 2>"$work/probe.stderr")
code=$?
[ "$code" = 0 ] || fail "--probe 12 from another folder: exit code $code: $(cat "$work/probe.stderr")"
# The key track (misc//piano3.txt) has thousands of keys; without it the count is 0.
keys=$(sed -n 's/.*"key_count":\([0-9]*\).*/\1/p' <<<"$probe")
[ "${keys:-0}" -gt 1000 ] || fail "--probe 12 from another folder read no key track: $probe"

echo "check-linux-release: $failures failure(s)"
[ "$failures" = 0 ]
