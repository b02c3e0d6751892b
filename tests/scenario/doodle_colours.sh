# The pen's colour from the colour window and from the keyboard and mouse:
# "255" typed into the red box draws red strokes; Shift and a move over the
# canvas in the third band of the picture window's width (green) draws
# green; the width slider dragged to the right draws wider. The wheel over
# the canvas narrows the doodle window, and Alt with a double click on the
# canvas closes it.
source "$(dirname "$0")/lib.sh"
free_alt_from_wm
start_desktop
make_program_folder

picture="$WORK/white.jpg"
convert -size 400x300 xc:white "$picture"
start_on "$picture"
wait_geometry "$id" "50 50 400 300"
press "$id" p
doodle=$(wait_window '^涂鸦窗口$' 10)
colour=$(wait_window '^颜色窗口$' 10)
wait_geometry "$colour" "450 50 72 350" || fail "the colour window is at $(geometry "$colour")"

# Red, green and blue 0..255 of the screen at a point.
rgb_at() {
  screenshot "$WORK/screen.png"
  convert "$WORK/screen.png" -crop "1x1+$1+$2" +repage \
    -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]\n' info:
}
expect_colour() { # X Y R G B WHAT
  local r g b
  read -r r g b < <(rgb_at "$1" "$2")
  local dr=$((r - $3)) dg=$((g - $4)) db=$((b - $5))
  ((dr * dr + dg * dg + db * db < 3 * 40 * 40)) || fail "$6: the screen shows $r,$g,$b at $1,$2"
}

# The red box sits at 8,185 of the colour window (inside its two group boxes).
click "$colour" 18 192 1
timeout 10 xdotool key --delay 80 ctrl+a || fail "ctrl+a failed"
timeout 10 xdotool type --delay 80 255 || fail "typing failed"
sleep 0.3
drag 100 100 300 100
sleep 0.3
expect_colour 200 100 255 0 0 "after 255 in the red box"

# Bands of 400 / 7 px: the third runs from 114 to 171 of the picture window.
focus_window "$doodle"
timeout 10 xdotool mousemove --sync 190 200 || fail "mousemove failed"
timeout 10 xdotool keydown shift || fail "keydown failed"
timeout 10 xdotool mousemove --sync 192 202 || fail "mousemove failed"
timeout 10 xdotool mousemove --sync 191 201 || fail "mousemove failed"
timeout 10 xdotool keyup shift || true
drag 100 250 300 250
sleep 0.3
expect_colour 200 250 0 255 0 "after Shift and a move in the third band"

# The width slider (at 8,25 of the colour window, 55 wide) dragged to its
# right end: 50 px.
drag 470 84 515 84
sleep 0.3
drag 100 180 300 180
sleep 0.3
expect_colour 200 200 0 255 0 "a stroke 20 px off the line of a 50 px pen"
expect_colour 200 230 255 255 255 "30 px off the line of a 50 px pen"

# A turn away from the user: 10 px narrower.
timeout 10 xdotool mousemove --sync 250 150 click 4 || fail "the wheel failed"
wait_geometry "$doodle" "50 50 390 300" || fail "after the wheel the doodle is at $(geometry "$doodle")"

timeout 10 xdotool mousemove --sync 240 160 keydown alt || fail "keydown alt failed"
timeout 10 xdotool click --repeat 2 --delay 80 1 || fail "click failed"
timeout 10 xdotool keyup alt || fail "keyup alt failed"
gone() { ! find_window '^涂鸦窗口$' >/dev/null && ! find_window '^颜色窗口$' >/dev/null; }
wait_until 10 gone || fail "Alt and a double click left $(list_windows)"
[[ $(map_state "$id") == IsViewable ]] || fail "the picture window went with the doodle"
pass
