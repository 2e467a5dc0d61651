#!/usr/bin/env bash
# Builds the Video controller's test clips: three 3-second clips (MPEG-1 in
# .mpg, MPEG-4 in .avi, WMV), a copy of the first cut before its first
# picture, a text file named .avi, and the two benchmark clips (576p MPEG-2,
# 1080p H.264). The result is cached: it is rebuilt only when this script
# changes.
set -euo pipefail
out=$(realpath -m "${1:?usage: make_test_clips.sh <output dir>}")
script_sum=$(sha256sum "$0" | cut -c1-16)
mkdir -p "$(dirname "$out")"
exec 9>"$out.lock"
flock -w 300 9
if [[ -f "$out/stamp" && "$(cat "$out/stamp")" == "$script_sum" ]]; then
  exit 0
fi
rm -rf "$out"
mkdir -p "$out/work"
cd "$out/work"
ff=(ffmpeg -hide_banner -loglevel error -y)

clip() { # output seconds size video-options... (audio: a 440 Hz tone)
  local name=$1 seconds=$2 size=$3
  shift 3
  "${ff[@]}" -f lavfi -i "testsrc=size=$size:rate=25:duration=$seconds" \
    -f lavfi -i "sine=frequency=440:duration=$seconds:sample_rate=44100" "$@" "$name"
}
clip alpha.mpg 3 320x240 -c:v mpeg1video -b:v 800k -c:a mp2 -b:a 128k -f mpeg
clip bravo.avi 3 320x240 -c:v mpeg4 -b:v 800k -c:a mp2 -b:a 128k
clip charlie.wmv 3 320x240 -c:v wmv2 -b:v 800k -c:a wmav2 -b:a 128k
head -c 1024 alpha.mpg > truncated.mpg  # cut before its first picture
printf 'This is not a video.\n' > text.avi
clip sd576.mpg 5 720x576 -c:v mpeg2video -b:v 4000k -c:a mp2 -b:a 192k -f mpeg
clip hd1080.mp4 5 1920x1080 -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -b:a 128k

mv alpha.mpg bravo.avi charlie.wmv truncated.mpg text.avi sd576.mpg hd1080.mp4 "$out/"
cd "$out"
rm -rf "$out/work"
echo "$script_sum" > "$out/stamp"
