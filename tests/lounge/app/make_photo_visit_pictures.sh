#!/usr/bin/env bash
# Builds the pictures of the Photo visit: five solid-colour photos, one
# stored sideways with Exif orientation 6 (upright: red above blue) named to
# sort first, a large noisy photo, a PNG, and a sub-folder of four pictures.
# Cached: rebuilt only when this script changes.
set -euo pipefail
out=$(realpath -m "${1:?usage: make_photo_visit_pictures.sh <output dir>}")
script_sum=$(sha256sum "$0" | cut -c1-16)
mkdir -p "$(dirname "$out")"
exec 9>"$out.lock"
flock -w 300 9
if [[ -f "$out/stamp" && "$(cat "$out/stamp")" == "$script_sum" ]]; then
  exit 0
fi
rm -rf "$out"
mkdir -p "$out/album"
cd "$out"
ff=(ffmpeg -hide_banner -loglevel error -y)

solid() { # output colour width height
  "${ff[@]}" -f lavfi -i "color=c=$2:s=$3x$4" -frames:v 1 -q:v 3 "$1"
}

# Upright: red over blue, 1024x768; stored turned a quarter to the left so
# that orientation 6 turns it back.
"${ff[@]}" -f lavfi -i "color=c=red:s=1024x384" -f lavfi -i "color=c=blue:s=1024x384" \
  -filter_complex "[0][1]vstack,transpose=2" -frames:v 1 -q:v 3 a_sideways.jpg
exiftool -q -q -overwrite_original "-Orientation#=6" a_sideways.jpg

solid b_green.jpg lime 1024 768
solid c_yellow.jpg yellow 1024 768
solid d_cyan.jpg cyan 1024 768
solid e_magenta.jpg magenta 1024 768
solid f_orange.jpg 0xFF8000 1024 768
"${ff[@]}" -f lavfi -i "color=c=gray:s=4032x3024" -vf "noise=alls=90:allf=u" -frames:v 1 -q:v 4 g_noisy.jpg
"${ff[@]}" -f lavfi -i "color=c=0xFF80C0:s=640x480" -frames:v 1 -pix_fmt rgb24 h_pink.png

solid album/p1.jpg red 320 240
solid album/p2.jpg lime 320 240
solid album/p3.jpg blue 320 240
solid album/p4.jpg yellow 320 240

echo "$script_sum" >stamp
