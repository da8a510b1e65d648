#!/usr/bin/env bash
# What a user runs, beside FFmpeg: the whole `slideshow` command over ten different real photos of 12
# to 20 megapixels in mixed shapes (bench/real_photos.sh), 5 s each, 1-second dissolves, a centred
# zoom and a pan in turn, at PAL and 1080p30 (2160p30 when asked). FFmpeg's zoompan + xfade graph does
# the same work from the same files, each photo filling the frame as the tool's do. Each to a null sink
# and to MP4 with the same x264 preset and CRF; ours also as the export alone of the same show, and the
# whole command over 100 different photos, whose peak memory should match the ten's. The floor of the
# MP4 rows: x264 alone, in FFmpeg, on our frames and on FFmpeg's graph's, read from Y4M files. Wall
# time, processor time, frames a second and the peak resident memory of the whole command; and how
# many times the command decoded each photo.
# Usage: bench/whole_slideshow_compare.sh [build directory] [format ...]   (default pal 1080p)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true
if (( $# )); then formats=("$@"); else formats=(pal 1080p); fi
EXTRA_PACKAGES="ffmpeg mate-backgrounds" scripts/setup "$build"
source bench/measure_rows.sh
source bench/ffmpeg_slideshow_graph.sh
source bench/real_photos.sh
bench_folder whole
host=$build/bin/stillset-host
make_real_photos "$dir/photos10" 10
make_real_photos "$dir/photos100" 100

for format in "${formats[@]}"; do
  case $format in
    # PAL's 4:3 picture of 16:15 pixels, filled from a 4:3 canvas; interlaced.
    pal) size=720x576 fps=25 sar=16/15 canvas=3200:2400 interlaced=(-flags +ildct+ilme -x264-params tff=1) ;;
    1080p) size=1920x1080 fps=30 sar=1 canvas=1920:1080 interlaced=() ;;
    2160p) size=3840x2160 fps=30 sar=1 canvas=3840:2160 interlaced=() ;;
    *) echo "no FFmpeg graph for $format" >&2; exit 2 ;;
  esac
  scene=$((5 * fps))
  frames=$(( 10 * scene - 9 * fps ))
  frames100=$(( 100 * scene - 99 * fps ))
  # The tool's scenes fill the frame: a graph that pads its photos hands x264 a third less picture.
  ffmpeg_slideshow_graph "$(filling_fit "$canvas")" "$scene" "$size" "$fps" "$sar"
  ffmpeg_graph_program "$dir/ffmpeg_$format" "$dir"/photos10/*.jpg
  # The kept project of the same show for the export-only rows; the decodes of one whole command.
  "$host" slideshow "$dir/photos10" -o /dev/null --format "$format" --hxhome "$dir/$format" --count-decodes \
    > "$dir/decodes_$format.txt"
  echo "$format: $(grep -c '^decodes of' "$dir/decodes_$format.txt") photos; decodes of each:"
  sed -n 's/^decodes of /  /p' "$dir/decodes_$format.txt"

  ours=("$host" slideshow --format "$format")
  row "$format FFmpeg graph, null sink" $frames "$dir/ffmpeg_$format" -f null -
  row "$format ours, slideshow command, null sink" $frames "${ours[@]}" "$dir/photos10" -o /dev/null
  row "$format ours, export, null sink" $frames "$host" export --hxhome "$dir/$format" --project 0 -o /dev/null
  row "$format FFmpeg graph, MP4" $frames "$dir/ffmpeg_$format" -c:v libx264 -preset $preset -crf $crf \
    "${interlaced[@]}" "$dir/ffmpeg.mp4"
  row "$format ours, slideshow command, MP4" $frames "${ours[@]}" "$dir/photos10" -o "$dir/ours.mp4" \
    --preset $preset --crf $crf
  row "$format ours, export, MP4" $frames "$host" export --hxhome "$dir/$format" --project 0 -o "$dir/ours.mp4" \
    --preset $preset --crf $crf
  # The same encoder on each side's frames, with its own threads: how much of each MP4 row is x264's.
  "$host" export --hxhome "$dir/$format" --project 0 -o "$dir/ours_$format.y4m" > /dev/null
  "$dir/ffmpeg_$format" -f yuv4mpegpipe "$dir/ffmpeg_$format.y4m"
  for side in ours ffmpeg; do
    row "$format x264 alone, $side frames" $frames ffmpeg -hide_banner -nostdin -loglevel error -y \
      -i "$dir/${side}_$format.y4m" -c:v libx264 -preset $preset -crf $crf "${interlaced[@]}" "$dir/x264.mp4"
  done
  row "$format ours, slideshow command, 100 photos, null" $frames100 "${ours[@]}" "$dir/photos100" -o /dev/null
done

echo "Ten different real photos of 12 to 20 megapixels, 5 s each, 1 s dissolves, zoom and pan in turn;"
echo "the 100-photo row shows memory that does not grow with the photos ($(nproc) cores; medians of $rounds rounds):"
measure_rows
