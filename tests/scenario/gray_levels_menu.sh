# "灰度去色" → "值为2" from the right-click menu, walked with the keyboard,
# turns a colour picture into black and white on the screen; "还原" brings
# the colours back.
source "$(dirname "$0")/lib.sh"
start_desktop
make_program_folder

# Four colour blocks, two darker and two lighter than the middle of the
# red + green + blue range, so each lands clearly on black or on white.
picture="$WORK/四色.jpg"
convert -size 200x150 xc:'rgb(220,40,40)' xc:'rgb(230,220,40)' +append \
  \( -size 200x150 xc:'rgb(60,220,230)' xc:'rgb(40,60,220)' +append \) -append \
  -quality 95 "$picture"
start_on "$picture"
wait_geometry "$id" "50 50 400 300"

# The picture's inside on the screen, clear of the picture box's frame line.
shown() {
  sleep 0.7
  screenshot "$WORK/screen.png"
  convert "$WORK/screen.png" -crop 390x290+55+55 +repage "$1"
}
saturation() { convert "$1" -colorspace HSL -channel G -separate +channel -format '%[fx:mean]' info:; }
# Share of pixels that are neither close to black nor close to white.
mid_grays() { convert "$1" -colorspace Gray -fx 'u>0.15&&u<0.85' -format '%[fx:mean]' info:; }
# Gray level 0..255 at a point of the screenshot, from the window's corner.
level_at() {
  convert "$WORK/screen.png" -crop "1x1+$((50 + $1))+$((50 + $2))" +repage -colorspace Gray \
    -format '%[fx:int(255*u)]' info:
}

# From the bottom of the menu: 关闭程序, 帮助信息, 文本便签, 前置后置,
# 图片避让, 鼠标穿透, 涂鸦工具, 改变比例, then 灰度去色 with its submenu.
at=150
gray_menu() {
  focus_window "$id"
  at=$((at + 9))
  click "$id" "$at" "$at" 3
  wait_popup_menu "$id" 10 >/dev/null
  timeout 10 xdotool key --delay 150 Up Up Up Up Up Up Up Up Up Right "$@" Return ||
    fail "keys to the menu failed"
}

shown "$WORK/before.png"
before=$(saturation "$WORK/before.png")
awk -v s="$before" 'BEGIN { exit !(s > 0.3) }' || fail "the picture does not show in colour (saturation $before)"

gray_menu # 值为2, the first entry
shown "$WORK/gray.png"
sat=$(saturation "$WORK/gray.png")
mid=$(mid_grays "$WORK/gray.png")
awk -v s="$sat" -v m="$mid" 'BEGIN { exit !(s < 0.02 && m < 0.01) }' ||
  fail "值为2 did not leave black and white only (saturation $sat, mid grays $mid)"
# Red (sum 300) and blue (320) below 384 go black; yellow (490) and cyan (510) white.
for spot in "100 75 0" "300 75 255" "100 225 255" "300 225 0"; do
  read -r x y want <<<"$spot"
  got=$(level_at "$x" "$y")
  ((got == want)) || fail "at $x,$y the screen shows gray $got after 值为2, expected $want"
done
program_alive || fail "the program ended during 值为2"

# 还原 is the ninth entry of the submenu.
gray_menu Down Down Down Down Down Down Down Down
shown "$WORK/restored.png"
after=$(saturation "$WORK/restored.png")
awk -v s="$after" 'BEGIN { exit !(s > 0.3) }' || fail "还原 did not bring the colours back (saturation $after)"
diff=$(shown_difference "$WORK/screen.png" "$picture" 50 50)
awk -v d="$diff" 'BEGIN { exit !(d < 0.08) }' || fail "还原 shows something else than the picture (difference $diff)"
wait_geometry "$id" "50 50 400 300"
pass
