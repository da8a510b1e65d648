# Sourced by the comparisons with FFmpeg: FFmpeg's version of the benchmarks' show as one filter
# graph over inputs 0 to 9. Each photo is fitted by FIT (a scale and pad chain), moved by a centred
# zoom and a diagonal pan in turn for SCENE frames at SIZE and FPS and tagged with SAR; 1-second
# cross-fades every 4 seconds join them, in 4:2:0.
# Usage: ffmpeg_slideshow_graph FIT SCENE SIZE FPS SAR   (sets $graph, and $last, its output's label)
#        filling_fit W:H   (prints the FIT that fills a W:H canvas with each photo, as the tool's scenes
#                           fill the frame)
#        ffmpeg_graph_program FILE PHOTO...   (FFmpeg running $graph over the ten photos, as a program
#                                              of its own that /usr/bin/time can run; its arguments
#                                              name the output)
ffmpeg_slideshow_graph() {
  local fit=$1 scene=$2 size=$3 fps=$4 sar=$5 k motion
  graph=""
  for k in $(seq 0 9); do
    if (( k % 2 == 0 )); then
      motion="zoompan=z='1+0.19*on/$scene':x='iw/2-iw/zoom/2':y='ih/2-ih/zoom/2':d=$scene:s=$size:fps=$fps"
    else
      motion="zoompan=z=1.06:x='on*(iw-iw/zoom)/$scene':y='on*(ih-ih/zoom)/$scene':d=$scene:s=$size:fps=$fps"
    fi
    graph+="[$k:v]$fit,$motion,setsar=$sar,format=yuv420p[v$k];"
  done
  last=v0
  for k in $(seq 1 9); do
    graph+="[$last][v$k]xfade=transition=fade:duration=1:offset=$((4 * k))[x$k];"
    last=x$k
  done
  # The cross-fades may hand on another pixel format; the encoders get 4:2:0 as ours do.
  graph+="[$last]format=yuv420p[out]"
  last=out
}

filling_fit() {
  echo "scale=$1:force_original_aspect_ratio=increase,crop=$1"
}

ffmpeg_graph_program() {
  local file=$1 photo inputs=()
  shift
  for photo in "$@"; do inputs+=(-i "$photo"); done
  {
    echo '#!/usr/bin/env bash'
    printf 'exec ffmpeg -hide_banner -nostdin -loglevel error -y'
    printf ' %q' "${inputs[@]}" -filter_complex "$graph" -map "[$last]"
    echo ' "$@"'
  } > "$file"
  chmod +x "$file"
}
