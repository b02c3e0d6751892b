# "鼠标穿透" lets a click over the picture reach the window underneath; the
# host window's "Don't Penetrate" gives back a clickable picture window at the
# same place and size.
source "$(dirname "$0")/lib.sh"
start_desktop
make_program_folder

# A window that reports every click it gets, placed under the picture.
xev -geometry 300x200+150+150 -name underneath -event button >"$WORK/xev.log" 2>&1 &
also_stop $!
wait_until 10 bash -c "xdotool search --onlyvisible --name '^underneath$' >/dev/null" ||
  fail "the window underneath did not appear"

start_program
id=$(wait_window "^Quillet －" 20)
before=$(geometry "$id")
presses() { grep -c ButtonPress "$WORK/xev.log" || true; }

click "$id" 200 200 1
sleep 0.5
(($(presses) == 0)) || fail "the picture window let a click through before click-through was on"

focus_window "$id"
click "$id" 210 210 3
wait_popup_menu "$id" 10 >/dev/null
# From the bottom: 关闭程序, 帮助信息, 文本便签, 前置后置, 图片避让, 鼠标穿透.
timeout 10 xdotool key --delay 150 Up Up Up Up Up Up Return || fail "keys to the menu failed"
host=$(wait_window '^Quillet$' 10)
sleep 0.5
# The style change re-creates the native window.
id=$(wait_window "^Quillet －" 10)
click "$id" 201 201 1
wait_until 5 bash -c "grep -q ButtonPress '$WORK/xev.log'" ||
  fail "a click over the click-through picture did not reach the window underneath"

click "$host" 7 7 3
menu=$(wait_popup_menu "$host" 10)
# Display, Penetrate, Don't Penetrate, Exit Quillet.
timeout 10 xdotool key --delay 150 Down Down Down Return || fail "keys to the host menu failed"
id=$(wait_window "^Quillet －" 10)
wait_geometry "$id" "$before"
count=$(presses)
sleep 0.5
click "$id" 202 202 1
sleep 0.5
(($(presses) == count)) || fail "after Don't Penetrate a click still went through the picture"
program_alive || fail "the program ended"
pass
