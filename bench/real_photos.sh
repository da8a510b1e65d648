# Sourced by the comparisons that need a folder of real photos: COUNT different photos of 12 to 20
# megapixels in landscape, portrait and square shapes, made from the pictures Debian's mate-backgrounds
# ships. Photo k is its own crop of one of those pictures (where and how much of it varies with k),
# turned or mirrored for some k, at one of ten camera sizes; no two are copies of each other.
# Needs ffmpeg and mate-backgrounds.
# Usage: make_real_photos FOLDER COUNT
make_real_photos() {
  local folder=$1 count=$2 k size width height aspect turn mirror zoom pan tilt chain
  local sources=(/usr/share/backgrounds/mate/nature/*.jpg)
  # Camera sizes: 4:3, 3:2, 16:9 and square, landscape and portrait.
  local sizes=(4000x3000 4896x3264 3024x4032 5472x3648 4608x2592 3648x3648 3456x5184 4320x3240 5184x2916 3000x4000)
  mkdir -p "$folder"
  for ((k = 0; k < count; k++)); do
    size=${sizes[k % ${#sizes[@]}]}
    width=${size%x*} height=${size#*x}
    # A portrait photo is a landscape crop turned a quarter, as a camera held upright makes it.
    turn=$(( height > width ))
    if (( turn )); then aspect="$height/$width"; else aspect="$width/$height"; fi
    mirror=$(( (k / ${#sources[@]}) % 2 ))
    zoom=$(awk -v k="$k" 'BEGIN { printf "%.3f", 1 - (k * 7 % 31) / 100 }')
    pan=$(awk -v k="$k" 'BEGIN { printf "%.3f", (k * 37 % 100) / 100 }')
    tilt=$(awk -v k="$k" 'BEGIN { printf "%.3f", (k * 61 % 100) / 100 }')
    chain="crop=w='min(iw,ih*$aspect)*$zoom':h='min(ih,iw/($aspect))*$zoom':x='(iw-ow)*$pan':y='(ih-oh)*$tilt'"
    if (( turn )); then chain+=",scale=$height:$width,transpose=1"; else chain+=",scale=$width:$height"; fi
    (( mirror )) && chain+=",hflip"
    # A camera's grain: an enlarged picture alone would be smoother, and quicker to decode, than a photo.
    chain+=",noise=alls=10"
    ffmpeg -hide_banner -nostdin -loglevel error -y -i "${sources[k % ${#sources[@]}]}" -vf "$chain" -q:v 3 \
      "$folder/photo$(printf '%03d' "$k").jpg"
  done
}
