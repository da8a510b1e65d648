#!/usr/bin/env bash
# Runs the image benchmarks, then the peer tools on the very files the benchmarks used:
# FFmpeg's area scaler on the same raw 4000x3000 picture, and djpeg on the same 12-megapixel JPEG.
# Everything on one core. Usage: bench/compare.sh [build directory]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
# The peer tools are only the benchmarks' concern.
EXTRA_PACKAGES="ffmpeg libjpeg-turbo-progs" scripts/setup "$build"
export STILLSET_BENCH_DIR=${STILLSET_BENCH_DIR:-/tmp/stillset-bench}
mkdir -p "$STILLSET_BENCH_DIR"
runs=10

{
  "$build/bin/bench_images" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
  "$build/bin/bench_render" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
} | tee "$STILLSET_BENCH_DIR/ours.txt"

# Milliseconds per run of a command, over $runs runs.
per_run_ms() {
  local start end
  start=$(date +%s%N)
  for _ in $(seq "$runs"); do "$@" >/dev/null 2>&1; done
  end=$(date +%s%N)
  echo $(( (end - start) / runs / 1000000 ))
}

raw="$STILLSET_BENCH_DIR/picture-4000x3000.yuva"
jpeg="$STILLSET_BENCH_DIR/photo-4000x3000.jpg"
# Four bytes a pixel like format 1; "null" passes the picture through, so it is the floor of the run.
ffmpeg_run() {
  ffmpeg -hide_banner -nostdin -threads 1 -filter_threads 1 -f rawvideo -pix_fmt rgba -s 4000x3000 -i "$raw" \
    -vf "$1" -f null -
}
scale_ms=$(per_run_ms ffmpeg_run "scale=720:540:flags=area")
null_ms=$(per_run_ms ffmpeg_run "null")
djpeg_ms=$(per_run_ms djpeg -outfile /dev/null "$jpeg")

median() { awk -v name="$1" '$1 == name"_median" { print $2 }' "$STILLSET_BENCH_DIR/ours.txt"; }
echo
echo "opScaleImage 4000x3000 -> 720x540:     $(median BM_OpScaleImage/720/540) ms (plain read of the source: $(median BM_PlainReadOfSource) ms)"
echo "ffmpeg scale=720:540:flags=area:       $((scale_ms - null_ms)) ms ($scale_ms ms a run, $null_ms ms of it without the scale)"
echo "JPEG import 4000x3000 (cold fetch):    $(median BM_ImportJpeg12Megapixels) ms"
echo "djpeg of the same file:                $djpeg_ms ms"
echo "final field from the cached photo:     $(median BM_FinalFieldFromCachedPhoto/hd:0) ms PAL, $(median BM_FinalFieldFromCachedPhoto/hd:1) ms HD"
