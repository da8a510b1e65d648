#!/usr/bin/env bash
# The host's folder import beside the peer decoders, on the very same files: the benchmarks'
# 12-megapixel JPEG, and the HEIC and WebP that heif-enc and cwebp make from it. Then a whole
# `stillset-host session --import` (the import, the tool's own import of the bin and its thumbnails)
# over 20 and 80 copies, with its time per photo and its peak resident memory.
# Usage: bench/import_compare.sh [build directory]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
export STILLSET_BENCH_DIR=${STILLSET_BENCH_DIR:-/tmp/stillset-bench}
mkdir -p "$STILLSET_BENCH_DIR"
runs=5

missing=()
for package in libheif-examples webp libjpeg-turbo-progs time; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi

jpeg="$STILLSET_BENCH_DIR/photo-4000x3000.jpg"
heic="$STILLSET_BENCH_DIR/photo-4000x3000.heic"
webp="$STILLSET_BENCH_DIR/photo-4000x3000.webp"
[ -f "$jpeg" ] || "$build/bin/bench_images" --benchmark_filter='BM_ImportFolder/format:0/threads:1' >/dev/null
[ -f "$heic" ] || heif-enc -q 90 -o "$heic" "$jpeg" >/dev/null
[ -f "$webp" ] || cwebp -quiet -q 90 "$jpeg" -o "$webp"

"$build/bin/bench_images" --benchmark_filter=BM_ImportFolder --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=true | tee "$STILLSET_BENCH_DIR/import.txt"

# Milliseconds per run of a command, over $runs runs, on one core like the one-thread import.
per_run_ms() {
  local start end
  start=$(date +%s%N)
  for _ in $(seq "$runs"); do taskset -c 0 "$@" >/dev/null 2>&1; done
  end=$(date +%s%N)
  echo $(( (end - start) / runs / 1000000 ))
}
djpeg_ms=$(per_run_ms djpeg -outfile /dev/null "$jpeg")
heif_ms=$(per_run_ms heif-convert "$heic" "$STILLSET_BENCH_DIR/decoded.y4m")
dwebp_ms=$(per_run_ms dwebp "$webp")

photo_ms() { awk -v name="BM_ImportFolder/format:$1/threads:$2/real_time_median" '$1 == name { for (i = 1; i <= NF; i++) if ($i ~ /^photo_ms=/) { sub("photo_ms=", "", $i); print $i } }' "$STILLSET_BENCH_DIR/import.txt"; }

# A whole session over N copies: seconds per photo and peak resident memory.
session() {
  local n=$1 folder="$STILLSET_BENCH_DIR/folder-$1" home
  home=$(mktemp -d /tmp/stillset-bench-home-XXXXXX)
  rm -rf "$folder" && mkdir -p "$folder"
  for i in $(seq -w "$n"); do ln -f "$jpeg" "$folder/photo-$i.jpg"; done
  /usr/bin/time -f "%e %M" -o "$STILLSET_BENCH_DIR/session-$n.time" "$build/bin/stillset-host" session --hxhome "$home" \
    --project 0 --import "$folder" --screenshot "$STILLSET_BENCH_DIR/session-$n.png" >/dev/null 2>&1
  rm -rf "$home"
  awk -v n="$n" '{ printf "%d photos: %.0f ms a photo, peak %.0f MiB\n", n, $1 * 1000 / n, $2 / 1024 }' "$STILLSET_BENCH_DIR/session-$n.time"
}

echo
echo "folder import, ms a photo (1 thread / 2 threads):"
echo "  JPEG 4000x3000: $(photo_ms 0 1) / $(photo_ms 0 2)    djpeg of the same file: $djpeg_ms ms"
echo "  HEIC 4000x3000: $(photo_ms 1 1) / $(photo_ms 1 2)    heif-convert of the same file: $heif_ms ms"
echo "  WebP 4000x3000: $(photo_ms 2 1) / $(photo_ms 2 2)    dwebp of the same file: $dwebp_ms ms"
echo "session --import (with the tool's thumbnails):"
session 20
session 80
