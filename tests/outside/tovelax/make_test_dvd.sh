#!/usr/bin/env bash
# Builds a small PAL DVD for the playback library's tests: a disc menu with two
# outlined buttons, two titles of two chapters each (six seconds, the second
# chapter from three seconds on), two audio streams (AC-3 and MPEG)
# and one subtitle stream. The result is cached: it is rebuilt only when this
# script changes.
set -euo pipefail
out=$(realpath -m "${1:?usage: make_test_dvd.sh <output dir>}")
script_sum=$(sha256sum "$0" | cut -c1-16)
# Several test processes may ask at once: one builds, the others wait.
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

# Sub-picture images: a white box on transparency (subtitle), two button
# outlines for the menu's highlight and selection. The pixels are made with
# their alpha (drawn boxes keep the transparent alpha of what they cover).
rgba() { # name "r:g:b" alpha-expression
  IFS=: read -r r g b <<<"$2"
  "${ff[@]}" -f lavfi -i "color=c=black:s=720x576,format=rgba,geq=r=$r:g=$g:b=$b:a=255*($3)" -frames:v 1 "$1"
}
rect() { # x0 y0 x1 y1 (inclusive), as an expression for geq
  echo "between(X\\,$1\\,$3)*between(Y\\,$2\\,$4)"
}
outline() { # x0 y0 x1 y1: a frame four pixels wide
  echo "$(rect "$1" "$2" "$3" "$4")*(1-$(rect $(($1 + 4)) $(($2 + 4)) $(($3 - 4)) $(($4 - 4))))"
}
buttons="$(outline 100 200 299 279)+$(outline 420 200 619 279)"
rgba sub.png 255:255:255 "$(rect 200 460 519 499)"
rgba hl.png 255:255:0 "$buttons"
rgba sel.png 255:0:0 "$buttons"

# A title: a strip of its colour at the top over a test pattern; from its
# second chapter on, a magenta band under the strip.
clip() { # name seconds colour tone1 tone2
  "${ff[@]}" -f lavfi -i "testsrc=size=720x576:rate=25:duration=$2" \
    -f lavfi -i "sine=frequency=$4:duration=$2:sample_rate=48000" \
    -f lavfi -i "sine=frequency=$5:duration=$2:sample_rate=48000" \
    -map 0:v -map 1:a -map 2:a \
    -vf "drawbox=x=0:y=0:w=720:h=60:color=$3:t=fill,drawbox=x=0:y=60:w=720:h=60:color=magenta:t=fill:enable='gte(t,$chapter2)'" \
    -target pal-dvd -b:v 1500k -c:a:0 ac3 -b:a:0 128k -c:a:1 mp2 -b:a:1 128k \
    "$1.mpg"
}
# Chapters long enough that a test can tell a jump from playing on.
chapter2=3.0
clip t1 6 red 440 660
clip t2 6 blue 550 770
"${ff[@]}" -f lavfi -i "color=c=darkgreen:s=720x576:rate=25:duration=1" \
  -f lavfi -i "anullsrc=r=48000:cl=stereo" -t 1 -target pal-dvd -b:v 1000k -c:a ac3 menu_bg.mpg

cat > sub.xml <<'XML'
<subpictures format="PAL"><stream>
  <spu start="00:00:00.20" end="00:00:03.50" image="sub.png"/>
</stream></subpictures>
XML
spumux -s 0 sub.xml < t1.mpg > t1s.mpg 2>spumux-t1.log
spumux -s 0 sub.xml < t2.mpg > t2s.mpg 2>spumux-t2.log

cat > menu.xml <<'XML'
<subpictures format="PAL"><stream>
  <spu start="00:00:00.00" end="00:00:00.00" highlight="hl.png" select="sel.png" force="yes">
    <button name="b1" x0="100" y0="200" x1="300" y1="280" right="b2"/>
    <button name="b2" x0="420" y0="200" x1="620" y1="280" left="b1"/>
  </spu>
</stream></subpictures>
XML
spumux menu.xml < menu_bg.mpg > menu.mpg 2>spumux-menu.log

cat > dvd.xml <<XML
<dvdauthor dest="../dvd" jumppad="yes">
  <vmgm>
    <fpc>jump menu 1;</fpc>
    <menus>
      <video format="pal" aspect="4:3"/>
      <pgc entry="title">
        <button name="b1">jump title 1;</button>
        <button name="b2">jump title 2;</button>
        <vob file="menu.mpg" pause="inf"/>
      </pgc>
    </menus>
  </vmgm>
  <titleset>
    <menus>
      <video format="pal" aspect="4:3"/>
      <pgc entry="root"><post>jump vmgm menu 1;</post></pgc>
    </menus>
    <titles>
      <video format="pal" aspect="4:3"/>
      <audio format="ac3" lang="en"/>
      <audio format="mp2" lang="fr"/>
      <subpicture lang="de"/>
      <pgc>
        <vob file="t1s.mpg" chapters="0,$chapter2"/>
        <post>call vmgm menu 1;</post>
      </pgc>
      <pgc>
        <vob file="t2s.mpg" chapters="0,$chapter2"/>
        <post>call vmgm menu 1;</post>
      </pgc>
    </titles>
  </titleset>
</dvdauthor>
XML
VIDEO_FORMAT=PAL dvdauthor -x dvd.xml >dvdauthor.log 2>&1 || { cat dvdauthor.log; exit 1; }
mv t1.mpg ../video.mpg
cd "$out" && rm -rf work
echo "$script_sum" > "$out/stamp"
