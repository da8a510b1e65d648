#!/usr/bin/env bash
# The plug-in's layers: the core (src/stillset) includes nothing of its interface (src/gui); the
# interface calls the core, and the entry point (src/plugin_entry.cpp) sits above both.
# Usage: plugin_layers.sh SRC_DIR
set -euo pipefail
src=$1
problems=0
while IFS= read -r hit; do
  echo "the core includes its interface: $hit"
  problems=$((problems + 1))
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"(gui/|\.\./gui/)' "$src/stillset" || true)
if [ "$problems" -ne 0 ]; then
  echo "$problems include(s) against the plug-in's layers"
  exit 1
fi
