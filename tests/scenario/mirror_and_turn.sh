# Home mirrors a JPEG left to right on the screen, the first mirror decoding
# it straight into the mirrored picture; "角度旋转" → "直角" from the
# right-click menu then turns it a quarter clockwise, and the window takes
# the turned proportions where it stood.
source "$(dirname "$0")/lib.sh"
start_desktop
make_program_folder

# Red and blue halves, a white block at the top left: every turn and mirror
# of it looks different.
picture="$WORK/halves.jpg"
convert -size 200x300 xc:'rgb(220,40,40)' -size 200x300 xc:'rgb(40,60,220)' +append \
  -fill white -draw 'rectangle 20,20 90,70' -quality 95 "$picture"
convert "$picture" -flop "$WORK/mirrored.png"
convert "$WORK/mirrored.png" -rotate 90 "$WORK/turned.png"
start_on "$picture"
wait_geometry "$id" "50 50 400 300"

# shows PICTURE: the screen shows PICTURE at 50, 50.
shows() {
  sleep 0.3
  screenshot "$WORK/screen.png"
  local diff
  diff=$(shown_difference "$WORK/screen.png" "$1" 50 50)
  awk -v d="$diff" 'BEGIN { exit !(d < 0.08) }'
}

shows "$picture" || fail "the picture is not shown as it is"
press "$id" Home
wait_until 10 shows "$WORK/mirrored.png" || fail "Home did not show the picture mirrored"

# From the bottom of the menu, 角度旋转 is the tenth entry; 直角 its first.
focus_window "$id"
click "$id" 150 150 3
wait_popup_menu "$id" 10 >/dev/null
timeout 10 xdotool key --delay 150 Up Up Up Up Up Up Up Up Up Up Right Return ||
  fail "keys to the menu failed"
wait_geometry "$id" "50 50 300 400"
wait_until 10 shows "$WORK/turned.png" || fail "直角 did not show the mirrored picture turned"
program_alive || fail "the program ended"
pass
