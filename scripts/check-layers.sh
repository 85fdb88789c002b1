#!/usr/bin/env bash
# Checks the layering of the source tree: nothing outside shell/ includes a shell header, no two
# files include each other (a header and its .cpp count as one file), and, when a build folder is
# given, no two object files of our libraries call into each other both ways. Prints each
# offence and exits 1 when there is any.
#   scripts/check-layers.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-}
failures=0

# Our C++ sources (the shader sources in data/ end in .cpp but are not C++).
mapfile -t sources < <(git ls-files '*.h' '*.cpp' | grep -v '^data/[^/]*/[^/]*\.cpp$' | grep -v '^data/[A-Za-z]*/')

# "unit include" pairs: the including file and the included file, extensions dropped. Includes
# are written from the repository root; a bare name is beside the including file.
edges=$(grep -H '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "${sources[@]}" |
  sed -E 's/^([^:]*):[^"]*"([^"]*)".*/\1 \2/' |
  awk -v list="$(printf '%s\n' "${sources[@]}")" '
    BEGIN { n = split(list, all, "\n"); for (i = 1; i <= n; ++i) known[all[i]] = 1 }
    { inc = $2
      if (!(inc in known)) { dir = $1; sub(/[^\/]*$/, "", dir); inc = dir $2 }
      if (!(inc in known)) next
      a = $1; b = inc; sub(/\.[^.\/]*$/, "", a); sub(/\.[^.\/]*$/, "", b)
      if (a != b) print a, b }' | sort -u)

below=$(awk '$1 !~ /^shell\// && $2 ~ /^shell\// { print "  " $1 " includes " $2 }' <<<"$edges")
if [[ -n $below ]]; then
  echo "check-layers: code below the shell includes it:"
  echo "$below"
  failures=1
fi

both=$(awk '{ seen[$1 " " $2] = 1 } END { for (k in seen) { split(k, p, " "); if (p[1] < p[2] && ((p[2] " " p[1]) in seen)) print "  " p[1] " <-> " p[2] } }' <<<"$edges" | sort)
if [[ -n $both ]]; then
  echo "check-layers: files that include each other:"
  echo "$both"
  failures=1
fi

# Calls: within and across our static libraries, object A uses a symbol object B defines and B
# one of A's. References to a class's type information are left out: the sanitizers add them
# wherever they check an object's type, so they follow the build flags, not the code.
if [[ -n $build ]]; then
  mapfile -t libraries < <(find "$build/lib" -name 'libvt_*.a' -o -name 'libfsound*.a' | sort)
  calls=$(for lib in "${libraries[@]}"; do
    # "library:object:address kind symbol", the address blank for undefined symbols.
    { nm -A -C --defined-only -g "$lib"; nm -A -C -u "$lib"; } 2>/dev/null |
      sed -E "s/^[^:]*:([^:]*):[0-9a-f]* *([A-Za-z]) (.*)\$/$(basename "$lib" .a)\/\1\t\2\t\3/"
  done | awk -F'\t' '
    $3 ~ /^typeinfo / { next }
    $2 ~ /^[TDBRVW]$/ { owner[$3] = owner[$3] " " $1; next }
    $2 == "U" { uses[$1 "\t" $3] = 1 }
    END {
      for (k in uses) { split(k, p, "\t"); n = split(owner[p[2]], o, " ")
        for (i = 1; i <= n; ++i) if (o[i] != p[1]) edge[p[1] " " o[i]] = 1 }
      for (e in edge) { split(e, p, " "); if (p[1] < p[2] && ((p[2] " " p[1]) in edge)) print "  " p[1] " <-> " p[2] }
    }' | sort)
  if [[ -n $calls ]]; then
    echo "check-layers: object files that call into each other:"
    echo "$calls"
    failures=1
  fi
fi

[[ $failures == 0 ]] && echo "check-layers: ${#sources[@]} files, no include or call in both directions, nothing below the shell includes it"
exit $failures
