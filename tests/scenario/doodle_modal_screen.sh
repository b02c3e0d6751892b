# "涂鸦工具" runs the doodle window modally: the colour window beside it
# still takes the keyboard. "屏幕" hides the other windows, photographs the
# screen once they are gone and lays the still under the canvas over the
# whole screen; a second "屏幕" brings the picture and colour windows back,
# and Esc in the colour window ends the doodle with the picture still there.
source "$(dirname "$0")/lib.sh"
start_desktop
make_program_folder

pattern_on_root 1280x1024 -fill white -draw 'circle 640,600 700,660'
start_on_gradient 400x300

# From the bottom of the menu: 关闭程序, 帮助信息, 文本便签, 前置后置,
# 图片避让, 鼠标穿透, 涂鸦工具.
focus_window "$id"
click "$id" 200 150 3
wait_popup_menu "$id" 10 >/dev/null
timeout 10 xdotool key --delay 150 Up Up Up Up Up Up Up Return || fail "keys to the menu failed"
doodle=$(wait_window '^涂鸦窗口$' 10)
colour=$(wait_window '^颜色窗口$' 10)
wait_geometry "$doodle" "50 50 400 300" || fail "the doodle window is at $(geometry "$doodle")"

# 屏幕 is the eleventh entry.
# The pointer must travel to each click (xdotool waits for it to move).
at=100
screen_board() {
  at=$((at + 20))
  click "$doodle" "$at" "$at" 3
  wait_popup_menu "$doodle" 10 >/dev/null
  timeout 10 xdotool key --delay 100 Down Down Down Down Down Down Down Down Down Down Down Return ||
    fail "keys to the menu failed"
}
screen_board
wait_geometry "$doodle" "0 0 1280 1024" || fail "the board is at $(geometry "$doodle")"
sleep 0.5
[[ $(map_state "$id") != IsViewable ]] || fail "the picture window stayed on the screen"
screenshot "$WORK/board.png"
# Where the picture window was, the still shows the desktop it covered.
convert "$WORK/board.png" -crop 380x280+60+60 +repage "$WORK/board-part.png"
convert "$WORK/desktop.png" -crop 380x280+60+60 +repage "$WORK/desktop-part.png"
d=$(rmse "$WORK/board-part.png" "$WORK/desktop-part.png")
awk -v d="$d" 'BEGIN { exit !(d < 0.05) }' || fail "the board does not show the screen without the windows ($d)"

screen_board
wait_until 5 bash -c "[[ \$(xwininfo -id $id | sed -n 's/^ *Map State: *//p') == IsViewable ]]" ||
  fail "the second 屏幕 left the picture window hidden"
colour=$(wait_window '^颜色窗口$' 10)
wait_geometry "$colour" "0 0 72 350" || fail "the colour window is at $(geometry "$colour")"
wait_geometry "$doodle" "0 0 1280 1024" || fail "the board shrank to $(geometry "$doodle")"

close_doodle_by_esc "$colour"
# The modal run is over: the picture window takes keys again.
press "$id" p
wait_window '^涂鸦窗口$' 10 >/dev/null
pass
