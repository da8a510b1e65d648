#!/usr/bin/env bash
# Every host service a header of include/host/ declares is exported by libhx, unless its declaration
# carries the marker /* not yet provided */; a marked one must not be exported yet (drop the marker
# when it lands), and libhx exports no C symbol the headers do not declare.
# Usage: declared_defined.sh INCLUDE_HOST_DIR LIBHX
set -euo pipefail
headers=$1
library=$2
marker='/* not yet provided */'

# Names the compiler makes for itself (the address sanitizer's __odr_asan markers) are not services.
defined=$(nm -D --defined-only "$library" | awk '{print $NF}' | grep -v '^__' | sort -u)
problems=0
declared=()
marked=0
while IFS= read -r line; do
  name=$(sed -E 's/^[^(;]*[^A-Za-z0-9_]([A-Za-z_][A-Za-z0-9_]*)[[:space:]]*[(;].*$/\1/' <<<"$line")
  declared+=("$name")
  exported=no
  grep -qx -- "$name" <<<"$defined" && exported=yes
  if [[ $line == *"$marker"* ]]; then
    marked=$((marked + 1))
    if [ $exported = yes ]; then
      echo "$name is provided now: remove its $marker marker"
      problems=$((problems + 1))
    fi
  elif [ $exported = no ]; then
    echo "$name is declared but libhx does not define it (mark it $marker until it lands)"
    problems=$((problems + 1))
  fi
done < <(grep -h '^HXAPI ' "$headers"/*.h)

while IFS= read -r symbol; do
  case " ${declared[*]} " in
    *" $symbol "*) ;;
    *) echo "$symbol is exported by libhx but declared in no header"; problems=$((problems + 1)) ;;
  esac
done < <(grep -v '^_Z' <<<"$defined")

echo "${#declared[@]} declared, $marked not yet provided, $problems problems"
[ $problems -eq 0 ]
