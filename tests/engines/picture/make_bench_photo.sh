#!/usr/bin/env bash
# Builds the benchmark photo: a noisy 4032x3024 JPEG (about 6.7 MB) that
# compresses like a real 12-megapixel photo. Cached: rebuilt only when this
# script changes.
set -euo pipefail
out=$(realpath -m "${1:?usage: make_bench_photo.sh <output dir>}")
script_sum=$(sha256sum "$0" | cut -c1-16)
mkdir -p "$(dirname "$out")"
exec 9>"$out.lock"
flock -w 300 9
if [[ -f "$out/stamp" && "$(cat "$out/stamp")" == "$script_sum" ]]; then
  exit 0
fi
rm -rf "$out"
mkdir -p "$out"
ffmpeg -hide_banner -loglevel error -y -f lavfi -i "mandelbrot=size=4032x3024,noise=alls=12" -frames:v 1 \
  -q:v 2 "$out/photo_4032x3024.jpg"
# A 24-megapixel photo for the memory figure.
ffmpeg -hide_banner -loglevel error -y -f lavfi -i "mandelbrot=size=6000x4000" -frames:v 1 -q:v 4 \
  "$out/photo_6000x4000.jpg"
echo "$script_sum" >"$out/stamp"
