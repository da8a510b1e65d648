#!/usr/bin/env bash
# The whole job at the formats people share, beside FFmpeg: ten different real photos (Debian's
# mate-backgrounds), 5 s each, 1-second dissolves, a centred zoom and a pan in turn, at 1080p30,
# 1080p60 and 2160p30. Ours end to end (the slideshow command from the photos) and export only;
# FFmpeg's zoompan + xfade graph at the same size and rate, each photo filling the frame as the
# tool's do. Each to a null sink and to MP4 with the same x264 preset and CRF; wall time, frames a
# second and peak resident memory.
# Usage: bench/formats_compare.sh [build directory] [format:fps ...]   (default 1080p:30 1080p:60 2160p:30)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true
if (( $# )); then formats=("$@"); else formats=(1080p:30 1080p:60 2160p:30); fi
EXTRA_PACKAGES="ffmpeg mate-backgrounds" scripts/setup "$build"
source bench/measure_rows.sh
source bench/ffmpeg_slideshow_graph.sh
bench_folder formats
mkdir -p "$dir/photos"
host=$build/bin/stillset-host
ls /usr/share/backgrounds/mate/nature/*.jpg | head -n 10 | xargs -I{} cp {} "$dir/photos/"
mapfile -t photos < <(ls "$dir"/photos/*.jpg)

for entry in "${formats[@]}"; do
  format=${entry%:*} fps=${entry#*:}
  case $format in
    1080p) size=1920x1080 ;;
    2160p) size=3840x2160 ;;
    720p) size=1280x720 ;;
    *) echo "no FFmpeg size for $format" >&2; exit 2 ;;
  esac
  scene=$((5 * fps)) fade=$fps
  frames=$(( 10 * scene - 9 * fade ))
  # The kept project of the same show, built once, for the export-only rows.
  "$host" slideshow "$dir/photos" -o /dev/null --format "$format" --fps "$fps" --hxhome "$dir/$entry" > /dev/null
  ffmpeg_slideshow_graph "$(filling_fit "${size/x/:}")" "$scene" "$size" "$fps" 1
  ffmpeg_graph_program "$dir/ffmpeg_$entry" "${photos[@]:0:10}"
  row "$entry FFmpeg graph, null sink" $frames "$dir/ffmpeg_$entry" -f null -
  row "$entry ours, slideshow command, null sink" $frames "$host" slideshow "$dir/photos" -o /dev/null \
    --format "$format" --fps "$fps"
  row "$entry ours, export, null sink" $frames "$host" export --hxhome "$dir/$entry" --project 0 -o /dev/null
  row "$entry FFmpeg graph, MP4" $frames "$dir/ffmpeg_$entry" -c:v libx264 -preset $preset -crf $crf "$dir/ffmpeg.mp4"
  row "$entry ours, slideshow command, MP4" $frames "$host" slideshow "$dir/photos" -o "$dir/ours.mp4" \
    --format "$format" --fps "$fps" --preset $preset --crf $crf
  row "$entry ours, export, MP4" $frames "$host" export --hxhome "$dir/$entry" --project 0 -o "$dir/ours.mp4" \
    --preset $preset --crf $crf
done

echo "Ten real photos, 5 s each, 1 s dissolves, zoom and pan in turn ($(nproc) cores; medians of $rounds rounds):"
measure_rows
