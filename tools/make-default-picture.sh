#!/usr/bin/env bash
# Draws pic/1.jpg, the picture the program shows when it has nothing else to
# show: a plain line drawing (a house, a tree, a fence, hills) over faint
# construction lines, so a new user can try tracing straight away.
# Needs ImageMagick. Usage: tools/make-default-picture.sh [output.jpg]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=${1:-$root/pic/1.jpg}

# Round joins matter: with the default miter join, ImageMagick 6 closes open
# paths wider than two pixels with a stray chord.
mvg=$(cat <<'MVG'
fill none
stroke-linejoin round
stroke-linecap round

stroke #c8ccd4
stroke-width 1
line 0,430 800,430
line 70,300 300,130
line 530,300 300,130
line 300,60 300,560
circle 640,270 640,150
line 520,270 760,270
line 640,150 640,430

stroke #1a1a1a
stroke-width 3
path 'M 0,428 Q 50,405 110,418'
path 'M 490,420 Q 550,400 615,412'
path 'M 665,412 Q 730,405 800,425'

rectangle 110,290 490,470
path 'M 80,300 L 300,140 L 520,300'
path 'M 390,205 L 390,140 L 440,140 L 440,241'
rectangle 380,128 450,140
rectangle 250,360 330,470
circle 316,418 320,418
rectangle 145,330 215,395
line 180,330 180,395
line 145,362 215,362
rectangle 375,330 445,395
line 410,330 410,395
line 375,362 445,362
rectangle 270,215 330,265
line 300,215 300,265
line 270,240 330,240
line 250,470 215,590
line 330,470 375,590

path 'M 618,470 C 624,420 624,350 612,305'
path 'M 662,470 C 656,420 656,350 668,305'
line 600,470 680,470
path 'M 621,380 C 605,350 590,330 575,318'
path 'M 658,360 C 680,335 695,325 712,318'
path 'M 612,305 C 590,320 545,315 540,285 A 42,42 0 0 1 548,205 A 48,48 0 0 1 625,150 A 50,50 0 0 1 710,160 A 45,45 0 0 1 748,245 A 40,40 0 0 1 700,305 C 690,312 676,310 668,305'
stroke-width 2
path 'M 588,238 Q 605,220 625,232'
path 'M 658,205 Q 678,188 698,204'
path 'M 690,262 Q 705,248 722,260'
path 'M 600,280 Q 612,270 628,278'

stroke-width 3
line 20,500 210,500
line 20,540 210,540
path 'M 30,560 L 30,480 L 40,468 L 50,480 L 50,560 Z'
path 'M 80,560 L 80,480 L 90,468 L 100,480 L 100,560 Z'
path 'M 130,560 L 130,480 L 140,468 L 150,480 L 150,560 Z'
path 'M 180,560 L 180,480 L 190,468 L 200,480 L 200,560 Z'

circle 110,90 110,57
stroke-width 2
line 110,42 110,22
line 110,138 110,158
line 62,90 42,90
line 158,90 178,90
line 76,56 62,42
line 144,124 158,138
line 144,56 158,42
line 76,124 62,138
path 'M 445,112 A 20,20 0 0 1 450,78 A 26,26 0 0 1 497,72 A 24,24 0 0 1 545,84 A 14,14 0 0 1 548,112 Z'
MVG
)

convert -size 800x600 xc:'#fbfbf8' -draw "$mvg" \
  -strip -sampling-factor 4:2:0 -interlace none -quality 85 "$out"
echo "wrote $out ($(identify -format '%wx%h, %b' "$out"))"
