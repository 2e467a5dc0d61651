#!/usr/bin/env bash
# Builds a second small PAL DVD, unlike the playback library's test disc: no
# menu, its first-play goes straight to its only title, a blue strip over a
# test pattern. With the two discs in two drives a test can tell which one
# plays. Cached: rebuilt only when this script changes.
set -euo pipefail
out=$(realpath -m "${1:?usage: make_blue_dvd.sh <output dir>}")
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
ffmpeg -hide_banner -loglevel error -y \
  -f lavfi -i "testsrc=size=720x576:rate=25:duration=20" \
  -f lavfi -i "sine=frequency=550:duration=20:sample_rate=48000" \
  -vf "drawbox=x=0:y=0:w=720:h=60:color=blue:t=fill" \
  -target pal-dvd -b:v 1500k -c:a ac3 -b:a 128k title.mpg
cat > dvd.xml <<'XML'
<dvdauthor dest="../dvd" jumppad="yes">
  <vmgm><fpc>jump title 1;</fpc></vmgm>
  <titleset>
    <titles>
      <video format="pal" aspect="4:3"/>
      <audio format="ac3" lang="en"/>
      <pgc><vob file="title.mpg"/></pgc>
    </titles>
  </titleset>
</dvdauthor>
XML
VIDEO_FORMAT=PAL dvdauthor -x dvd.xml >dvdauthor.log 2>&1 || { cat dvdauthor.log; exit 1; }
cd "$out" && rm -rf work
echo "$script_sum" > "$out/stamp"
