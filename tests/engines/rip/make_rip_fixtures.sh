#!/usr/bin/env bash
# Builds the media the rip engine tests read: MPEG program streams of each
# kind the sniffing tells apart (Video CD, MPEG-2, plain MPEG-1), a Video CD
# image from vcdimager, a file with video and sound, and one with video only.
# Every sound is a 1000 Hz tone. Cached: rebuilt only when this script changes.
set -euo pipefail
out=$(realpath -m "${1:?usage: make_rip_fixtures.sh <output dir>}")
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
picture=(-f lavfi -i "testsrc=size=352x288:rate=25:duration=3")
tone=(-f lavfi -i "sine=frequency=1000:sample_rate=44100:duration=3")

"${ff[@]}" "${picture[@]}" "${tone[@]}" -target pal-vcd -shortest vcd.mpg
"${ff[@]}" "${picture[@]}" "${tone[@]}" -target pal-dvd -shortest dvd.mpg
"${ff[@]}" "${picture[@]}" "${tone[@]}" -c:v mpeg1video -b:v 800k -c:a mp2 -ar 44100 -f mpeg -shortest mpeg1.mpg
"${ff[@]}" "${picture[@]}" "${tone[@]}" -c:v mpeg4 -c:a mp2 -ar 44100 -shortest av.mkv
"${ff[@]}" "${picture[@]}" -c:v mpeg4 video.mkv
vcdimager --type=vcd2 --cue-file=vcd.cue --bin-file=vcd.bin vcd.mpg >/dev/null 2>&1

echo "$script_sum" > stamp
