#!/usr/bin/env bash
# Every include between the host's folders runs down the layers that host/README.md lists under
# "## Layers" (a folder may use its own layer and those below it), and every source of the host lies
# in a listed folder, so a new folder is placed before it is used. The declarations in include/host/
# and host/include/hxhost/ are every layer's.
# Usage: host_layers.sh HOST_DIR
set -euo pipefail
host=$(cd "$1" && pwd)
api=("$host/../include" "$host/include")

# "folder/ layer" (or "file layer") for every backquoted folder or file of a numbered item.
listed=$(awk '
  /^## / { inside = ($0 == "## Layers"); next }
  !inside { next }
  /^[0-9]+\. / { layer = $1 + 0 }
  layer {
    line = $0
    while (match(line, /`[^`]*`/)) {
      token = substr(line, RSTART + 1, RLENGTH - 2)
      line = substr(line, RSTART + RLENGTH)
      if (token ~ /^[a-z_\/]+\/$/ || token ~ /^[a-z_]+\.cpp$/) print token, layer
    }
  }' "$host/README.md")
if [ -z "$listed" ]; then
  echo "host/README.md lists no layers under \"## Layers\""
  exit 1
fi

# The layer of a path relative to host/: its longest listed folder; empty when none holds it.
layer_of() {
  local path=$1 best= best_length=0 place layer
  while read -r place layer; do
    if [[ $path == "$place" || ( $place == */ && $path == "$place"* ) ]] && [ ${#place} -gt $best_length ]; then
      best=$layer
      best_length=${#place}
    fi
  done <<<"$listed"
  echo "$best"
}

problems=0
checked=0
while IFS= read -r file; do
  source=${file#"$host"/}
  source_layer=$(layer_of "$source")
  if [ -z "$source_layer" ]; then
    echo "$source lies in no layer of host/README.md: add its folder to the list"
    problems=$((problems + 1))
    continue
  fi
  while IFS= read -r included; do
    checked=$((checked + 1))
    if [ -e "$host/$included" ]; then
      target=$included
    elif [ -e "${api[0]}/$included" ] || [ -e "${api[1]}/$included" ]; then
      continue
    elif [ -e "$(dirname "$file")/$included" ]; then
      target=$(dirname "$source")/$included
    else
      echo "$source includes \"$included\", which is no file of the host"
      problems=$((problems + 1))
      continue
    fi
    target_layer=$(layer_of "$target")
    if [ -z "$target_layer" ] || [ "$target_layer" -gt "$source_layer" ]; then
      echo "$source (layer $source_layer) includes $target (layer ${target_layer:-none}): an include runs up a layer"
      problems=$((problems + 1))
    fi
  done < <(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/p' "$file")
done < <(find "$host" -path "$host/include" -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) -print | sort)

echo "$checked includes checked, $problems problems"
[ $problems -eq 0 ]
