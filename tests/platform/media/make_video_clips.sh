#!/usr/bin/env bash
# Makes the short video clips of the thumbnail tests: solid-colour clips in
# three containers, an SD MPEG-2 clip whose first second is black, a 1080p
# H.264 clip in AVI, SD MPEG-2 and DV clips for the benchmark, a truncated
# file and a text file named .avi. The result is cached: it is rebuilt only
# when this script changes.
set -euo pipefail
out=$(realpath -m "${1:?usage: make_video_clips.sh <output dir>}")
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

"${ff[@]}" -f lavfi -i "color=c=red:s=320x240:r=25:d=2" -c:v mpeg1video -g 12 -f mpeg red.mpg
"${ff[@]}" -f lavfi -i "color=c=lime:s=320x240:r=25:d=2" -c:v mpeg4 -g 12 green.avi
"${ff[@]}" -f lavfi -i "color=c=blue:s=320x240:r=25:d=2" -c:v wmv2 -g 12 blue.wmv
# Black for the first second, then yellow: the picture must be the yellow.
"${ff[@]}" -f lavfi -i "color=c=black:s=720x576:r=25:d=1" -f lavfi -i "color=c=yellow:s=720x576:r=25:d=3" \
  -filter_complex "[0][1]concat=n=2:v=1[v]" -map "[v]" -c:v mpeg2video -g 12 -b:v 2M -f mpeg sd_black_start.mpg
"${ff[@]}" -f lavfi -i "color=c=red:s=1920x1080:r=25:d=2" -c:v libx264 -preset ultrafast -g 25 hd_h264.avi
# For the benchmark: an SD MPEG-2 clip and a DV clip of a moving test picture.
"${ff[@]}" -f lavfi -i "testsrc=s=720x576:r=25:d=4" -c:v mpeg2video -g 12 -b:v 4M -f mpeg sd.mpg
"${ff[@]}" -f lavfi -i "testsrc=s=720x576:r=25:d=2" -c:v dvvideo -pix_fmt yuv420p -f dv dv.dv
head -c 6000 hd_h264.avi > truncated.avi
printf 'this is not a video\n' > text.avi
echo "$script_sum" > stamp
