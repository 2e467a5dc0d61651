#!/usr/bin/env bash
# Builds the pictures the picture engine's tests read: a four-quadrant
# picture (red, green / blue, white) in every format and depth the loader
# handles, JPEGs stored in all eight Exif orientations that show the same
# upright picture, and photos carrying Exif and a comment for the rotation
# and save tests. Cached: rebuilt only when this script changes.
set -euo pipefail
out=$(realpath -m "${1:?usage: make_picture_fixtures.sh <output dir>}")
script_sum=$(sha256sum "$0" | cut -c1-16)
mkdir -p "$(dirname "$out")"
exec 9>"$out.lock"
flock -w 300 9
if [[ -f "$out/stamp" && "$(cat "$out/stamp")" == "$script_sum" ]]; then
  exit 0
fi
rm -rf "$out"
mkdir -p "$out"
cd "$out"
ff=(ffmpeg -hide_banner -loglevel error -y)
et=(exiftool -q -q -overwrite_original)

quad() { # output width height [extra output options...]
  local name=$1 w=$2 h=$3
  shift 3
  # Even quadrants (the colour source needs them), cut to an odd size if asked.
  local qw=$(((w + 3) / 4 * 2)) qh=$(((h + 3) / 4 * 2))
  "${ff[@]}" -f lavfi -i "color=c=red:s=${qw}x${qh}" -f lavfi -i "color=c=lime:s=${qw}x${qh}" \
    -f lavfi -i "color=c=blue:s=${qw}x${qh}" -f lavfi -i "color=c=white:s=${qw}x${qh}" \
    -filter_complex "[0][1]hstack[t];[2][3]hstack[b];[t][b]vstack,format=rgb24,crop=$w:$h:0:0" -frames:v 1 "$@" "$name"
}

quad quad.png 64 48 -pix_fmt rgb24
quad quad_rgba.png 64 48 -pix_fmt rgba
quad quad_gray16.png 64 48 -pix_fmt gray16be
quad quad_bgr24.bmp 64 48 -pix_fmt bgr24
quad quad_bgra.bmp 64 48 -pix_fmt bgra
quad quad_pal8.bmp 64 48 -pix_fmt pal8
quad quad_monob.bmp 64 48 -pix_fmt monob
quad quad.gif 64 48
quad quad.jpg 64 48 -q:v 2
quad quad_progressive.jpg 64 48 -q:v 2 -pix_fmt yuvj444p
jpegtran -progressive -copy all -outfile quad_progressive.jpg quad_progressive.jpg

# Stored so that the Exif orientation turns each back into the upright quad.
transforms=("" "" "hflip" "hflip,vflip" "vflip" "transpose=0" "transpose=2" "transpose=3" "transpose=1")
quad quad_src.png 64 48 -pix_fmt rgb24
for o in 1 2 3 4 5 6 7 8; do
  if [[ -n "${transforms[$o]}" ]]; then
    "${ff[@]}" -i quad_src.png -vf "${transforms[$o]}" -q:v 2 "orient_$o.jpg"
  else
    "${ff[@]}" -i quad_src.png -q:v 2 "orient_$o.jpg"
  fi
  "${et[@]}" "-Orientation#=$o" "orient_$o.jpg"
done
rm quad_src.png

# Photos with metadata: whole blocks (1024x768, 4:2:0) and a size that is not
# (1001x667, 4:4:4 so the encoder keeps the odd size).
for size in 1024x768 1001x667; do
  if [[ $size == 1024x768 ]]; then sampling=yuvj420p; else sampling=yuvj444p; fi
  quad "photo_$size.jpg" "${size%x*}" "${size#*x}" -q:v 3 -pix_fmt $sampling
  "${et[@]}" -Make=Marivel -Model=Fixture "-DateTimeOriginal=2021:06:07 08:09:10" "-Comment=kept comment" \
    "-Orientation#=1" "photo_$size.jpg"
done
cp photo_1024x768.jpg photo_o6.jpg
"${et[@]}" "-Orientation#=6" photo_o6.jpg

echo "$script_sum" >stamp
