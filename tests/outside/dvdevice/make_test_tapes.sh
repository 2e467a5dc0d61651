#!/usr/bin/env bash
# Builds the camcorder tapes for the DV component's tests: 10 s of PAL DV and
# 5 s of NTSC DV (colour bars with a frame counter and a tone), and 5 s of an
# MPEG-2 transport stream. Cached: rebuilt only when this script changes.
set -euo pipefail
out=$(realpath -m "${1:?usage: make_test_tapes.sh <output dir>}")
script_sum=$(sha256sum "$0" | cut -c1-16)
mkdir -p "$(dirname "$out")"
exec 9>"$out.lock"
flock -w 300 9
if [[ -f "$out/stamp" && "$(cat "$out/stamp")" == "$script_sum" ]]; then
  exit 0
fi
rm -rf "$out"
mkdir -p "$out"
ff=(ffmpeg -hide_banner -loglevel error -y)
"${ff[@]}" -f lavfi -i "testsrc2=size=720x576:rate=25:duration=10" -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=10" \
  -target pal-dv -ac 2 -f dv "$out/pal.dv"
"${ff[@]}" -f lavfi -i "testsrc2=size=720x480:rate=30000/1001:duration=5" -f lavfi -i "sine=frequency=660:sample_rate=48000:duration=5" \
  -target ntsc-dv -ac 2 -f dv "$out/ntsc.dv"
"${ff[@]}" -f lavfi -i "testsrc2=size=720x480:rate=30000/1001:duration=5" -f lavfi -i "sine=frequency=550:sample_rate=48000:duration=5" \
  -c:v mpeg2video -b:v 4M -c:a mp2 -ac 2 -f mpegts "$out/tape.ts"
echo "$script_sum" > "$out/stamp"
