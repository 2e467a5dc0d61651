#!/usr/bin/env bash
# Makes the clips of the Video visit: red, green and blue pictures of ten
# seconds in three containers, long enough to be seen playing. The result is
# cached: it is rebuilt only when this script changes.
set -euo pipefail
out=$(realpath -m "${1:?usage: make_video_visit_clips.sh <output dir>}")
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
"${ff[@]}" -f lavfi -i "color=c=red:s=320x240:r=25:d=10" -c:v mpeg1video -g 12 -f mpeg red.mpg
"${ff[@]}" -f lavfi -i "color=c=lime:s=320x240:r=25:d=10" -c:v mpeg4 -g 12 green.avi
"${ff[@]}" -f lavfi -i "color=c=blue:s=320x240:r=25:d=10" -c:v wmv2 -g 12 blue.wmv
echo "$script_sum" > stamp
