#!/usr/bin/env bash
# Draws the 26 x 454 banner that runs down the side of the picture window's
# menu. Needs ImageMagick and a CJK font (fonts-noto-cjk).
set -euo pipefail
out="${1:-$(dirname "$0")/../src/platform/qt/resources/banner.jpg}"
font=$(fc-match -f '%{file}' 'Noto Sans CJK SC:bold' 2>/dev/null || true)
convert -size 26x454 gradient:'#e76f51'-'#1d3557' \
  \( -size 454x26 xc:none ${font:+-font "$font"} -pointsize 15 -fill white \
     -gravity west -annotate +14+0 'Quillet  描图助手' -rotate -90 \) \
  -gravity center -composite -quality 90 -strip "$out"
identify "$out"
