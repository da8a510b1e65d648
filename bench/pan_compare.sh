#!/usr/bin/env bash
# The pan figures in one run: the operator's cost per field (bench_images), a 5-second PAL pan of
# the benchmarks' 12-megapixel JPEG by `stillset-host pan` beside FFmpeg's zoompan making the same
# 125 frames of 720x576 over the same window path from the same file, and the smoothness of both,
# measured on their output frames of a photo ruled with dark lines (ours also at 1080p60).
# Everything on one core, but for the fields of the operator on two threads.
# Usage: bench/pan_compare.sh [build directory]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
# The peer tool is only the benchmarks' concern.
EXTRA_PACKAGES=ffmpeg scripts/setup "$build"
export STILLSET_BENCH_DIR=${STILLSET_BENCH_DIR:-/tmp/stillset-bench}
dir=$STILLSET_BENCH_DIR
mkdir -p "$dir"
runs=3

"$build/bin/bench_images" --benchmark_filter='BM_PanField|BM_ImportJpeg' --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=true | tee "$dir/pan.txt"
photo="$dir/photo-4000x3000.jpg" # written by BM_ImportJpeg12Megapixels

# Our window for preset 1 over 5 s of PAL moves 0.388434 x 0.146988 pixels a field over the still
# shrunk to 813x610, that is 3.8222 x 1.44579 pixels of the 4000x3000 photo a frame; its height is
# 94 % of the photo's. zoompan keeps the photo's shape and takes whole pixels.
zoompan="zoompan=z=1/0.94:x='on*3.8222':y='on*1.44579':d=125:s=720x576:fps=25"
ours() { taskset -c 0 "$build/bin/stillset-host" pan "$1" -o "$2" --preset 1 --seconds 5 "${@:3}" >/dev/null; }
theirs() {
  taskset -c 0 ffmpeg -hide_banner -nostdin -loglevel error -y -threads 1 -filter_threads 1 -i "$1" -vf "$zoompan" \
    -pix_fmt yuv420p -f yuv4mpegpipe "$2"
}
# Best of $runs runs of a command, in milliseconds.
best_ms() {
  local best=999999999 start end
  for _ in $(seq "$runs"); do
    start=$(date +%s%N); "$@"; end=$(date +%s%N)
    best=$(( (end - start) / 1000000 < best ? (end - start) / 1000000 : best ))
  done
  echo "$best"
}
ours_ms=$(best_ms ours "$photo" "$dir/pan-ours.y4m")
theirs_ms=$(best_ms theirs "$photo" "$dir/pan-zoompan.y4m")

grid="$dir/grid-4000x3000.jpg"
ffmpeg -hide_banner -nostdin -loglevel error -y -f lavfi -i "color=white:s=4000x3000,drawgrid=w=400:h=300:t=24:c=black" \
  -frames:v 1 -q:v 2 "$grid"
ours "$grid" "$dir/grid-ours.y4m"
theirs "$grid" "$dir/grid-zoompan.y4m"
ours "$grid" "$dir/grid-ours-1080p60.y4m" --format 1080p --fps 60

median() { awk -v name="$1" '$1 == name"_median" { print $2 }' "$dir/pan.txt"; }
first() { awk -v name="$1" '$1 == name"_median" { for (i = 1; i <= NF; ++i) if ($i ~ /^first_field_ms=/) print substr($i, 16) }' "$dir/pan.txt"; }
echo
for case in "mode:0/hd:0/copies:1/threads:1 zoom PAL" "mode:1/hd:0/copies:1/threads:1 pan PAL" \
            "mode:0/hd:1/copies:1/threads:1 zoom 1080" "mode:1/hd:1/copies:1/threads:1 pan 1080" \
            "mode:0/hd:0/copies:0/threads:1 zoom PAL, no halved copies" "mode:0/hd:1/copies:0/threads:1 zoom 1080, no halved copies" \
            "mode:0/hd:0/copies:1/threads:2 zoom PAL, 2 threads" "mode:1/hd:0/copies:1/threads:2 pan PAL, 2 threads" \
            "mode:0/hd:1/copies:1/threads:2 zoom 1080, 2 threads" "mode:1/hd:1/copies:1/threads:2 pan 1080, 2 threads"; do
  set -- $case
  name="BM_PanField/$1/min_time:0.020/manual_time"
  shift
  printf 'field of a %-33s steady %6s ms, first field %s\n' "$*:" "$(median "$name")" "$(first "$name")"
done
echo "5-second PAL pan, 125 frames 720x576 of $photo:"
echo "  stillset-host pan --preset 1:  $ours_ms ms"
echo "  ffmpeg zoompan:                 $theirs_ms ms"
awk -v a="$theirs_ms" -v b="$ours_ms" 'BEGIN { printf "  ours is %.2fx as fast\n", a / b }'
echo "smoothness over the ruled photo (top field of each PAL frame; whole frames at 1080p60):"
echo "  ours:    $("$build/bin/track_lines" "$dir/grid-ours.y4m")"
echo "  zoompan: $("$build/bin/track_lines" "$dir/grid-zoompan.y4m")"
echo "  ours, 1080p60: $("$build/bin/track_lines" "$dir/grid-ours-1080p60.y4m")"
