#!/usr/bin/env bash
# The whole job beside FFmpeg: 10 photos of 12 megapixels, 5 s each, 1-second dissolves, a centred
# zoom and a pan in turn, PAL. Ours plays the storyboard the tool built; FFmpeg's filter graph does
# the same work (each photo fitted and padded into 3200x2400, 5 s of zoompan to 720x576 at 25 fps,
# chained with 1-second xfade fades: 41 s, 1025 frames). Both to a null sink and to MP4 with the
# same x264 preset and CRF; wall time, frames a second and peak resident memory. Ours also with 1
# and 2 encoder threads, and with 100 photos.
# Usage: bench/slideshow_compare.sh [build directory]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
EXTRA_PACKAGES=ffmpeg scripts/setup "$build"
source bench/measure_rows.sh
source bench/ffmpeg_slideshow_graph.sh
bench_folder slideshow
host=$build/bin/stillset-host

# A project of COUNT copies of the photo, built by the tool's create button.
make_show() {
  local count=$1 show=$dir/show$1
  "$build/bin/show_project" "$show"
  mkdir -p "$show/photos"
  for i in $(seq -w 1 "$count"); do cp "$show/photo.jpg" "$show/photos/p$i.jpg"; done
  printf 'answer yes\npress "Create slideshow"\n' > "$show/create.session"
  "$host" session --hxhome "$show/hxhome" --project 0 --import "$show/photos" --script "$show/create.session" \
    > /dev/null 2>&1
}

make_show 10
make_show 100
frames10=$(( 10 * 125 - 9 * 25 ))
frames100=$(( 100 * 125 - 99 * 25 ))

# FFmpeg's graph: photo k is input k; zoompan makes 125 frames of each; xfade joins them.
inputs=()
for k in $(seq 0 9); do
  inputs+=(-i "$dir/show10/photos/p$(printf '%02d' $((k + 1))).jpg")
done
ffmpeg_slideshow_graph "scale=3200:2400:force_original_aspect_ratio=decrease,pad=3200:2400:(ow-iw)/2:(oh-ih)/2" \
  125 720x576 25 16/15
# The two contenders as programs of their own, so that /usr/bin/time can run them.
{
  echo '#!/usr/bin/env bash'
  printf 'threads=$1; shift\nexec ffmpeg -hide_banner -nostdin -loglevel error -y -threads "$threads" -filter_threads "$threads"'
  printf ' %q' "${inputs[@]}" -filter_complex "$graph" -map "[$last]"
  echo ' "$@"'
} > "$dir/ffmpeg_graph"
printf '#!/usr/bin/env bash\nexec %q export --hxhome %q/show$1/hxhome --project 0 --threads "$2" --preset %q --crf %q -o "$3"\n' \
  "$host" "$dir" "$preset" "$crf" > "$dir/ours"
chmod +x "$dir/ffmpeg_graph" "$dir/ours"

echo "Slideshow of 12-megapixel photos, 5 s each, 1 s dissolves, zoom and pan in turn, PAL ($(nproc) cores; medians of $rounds rounds):"
row "FFmpeg graph, 10 photos, null sink" $frames10 "$dir/ffmpeg_graph" 2 -f null -
row "ours, 10 photos, null sink, 2 threads" $frames10 "$dir/ours" 10 2 /dev/null
row "ours, 10 photos, null sink, 1 thread" $frames10 "$dir/ours" 10 1 /dev/null
row "FFmpeg graph, 10 photos, MP4" $frames10 "$dir/ffmpeg_graph" 2 -c:v libx264 -preset $preset -crf $crf \
  -flags +ildct+ilme -x264-params tff=1 "$dir/ffmpeg.mp4"
row "ours, 10 photos, MP4, 2 threads" $frames10 "$dir/ours" 10 2 "$dir/ours10.mp4"
row "ours, 10 photos, MP4, 1 thread" $frames10 "$dir/ours" 10 1 "$dir/ours10-1.mp4"
row "ours, 100 photos, null sink, 2 threads" $frames100 "$dir/ours" 100 2 /dev/null
measure_rows
