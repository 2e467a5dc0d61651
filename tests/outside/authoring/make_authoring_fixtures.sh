#!/usr/bin/env bash
# Builds the media the authoring engine tests use: photos (one large, one
# stored turned with an Exif orientation, one cut short, a BMP) and short
# clips with sound. Cached: rebuilt only when this script changes.
set -euo pipefail
out=$(realpath -m "${1:?usage: make_authoring_fixtures.sh <output dir>}")
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

"${ff[@]}" -f lavfi -i "testsrc=size=1600x1200:rate=1" -frames:v 1 -q:v 3 photo1.jpg
"${ff[@]}" -f lavfi -i "smptebars=size=800x600:rate=1" -frames:v 1 -q:v 3 photo2.jpg
# Stored 600 wide and 800 high, shown turned a quarter: upright it is wide.
"${ff[@]}" -f lavfi -i "testsrc=size=600x800:rate=1" -frames:v 1 -q:v 3 turned.jpg
exiftool -q -overwrite_original -Orientation#=6 turned.jpg
"${ff[@]}" -f lavfi -i "testsrc=size=640x480:rate=1" -frames:v 1 photo.bmp
head -c 20000 photo1.jpg > truncated.jpg
# A large photo for the benchmark (12 megapixels).
"${ff[@]}" -f lavfi -i "testsrc=size=4000x3000:rate=1" -frames:v 1 -q:v 3 large.jpg

clip() {  # name size seconds tone-frequency
  "${ff[@]}" -f lavfi -i "testsrc=size=$2:rate=25:duration=$3" -f lavfi -i "sine=frequency=$4:sample_rate=48000:duration=$3" \
    -c:v mpeg4 -q:v 4 -c:a mp2 -b:a 128k -shortest "$1"
}
clip clip1.avi 320x240 2 440
clip clip2.avi 640x360 3 880
# One minute of PAL D1 (a 4:3 picture) for the transcode benchmark.
"${ff[@]}" -f lavfi -i "testsrc=size=720x576:rate=25:duration=60" -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=60" \
  -c:v mpeg4 -q:v 3 -aspect 4:3 -c:a mp2 -b:a 192k -shortest d1_60s.avi

echo "$script_sum" > stamp
