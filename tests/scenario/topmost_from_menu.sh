# "前置后置" from the right-click menu, walked with the keyboard, switches the
# window's always-on-top state as the window manager sees it, on the same
# native window, which never leaves the screen meanwhile (no flicker).
source "$(dirname "$0")/lib.sh"
start_desktop
make_program_folder
start_program
id=$(wait_window "^Quillet －" 20)

above() { xprop -id "$id" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
wait_until 5 above || fail "the picture window does not start always on top: $(xprop -id "$id" _NET_WM_STATE)"
first=$id
# Every unmapping of the window from now on is written down.
xev -id "$id" -event structure >"$WORK/structure.log" 2>&1 &
also_stop $!
sleep 0.5

# A pointer already in place would never confirm a move: each click aims apart.
at=100
choose_topmost() {
  id=$(wait_window "^Quillet －" 10)
  focus_window "$id"
  at=$((at + 7))
  click "$id" "$at" "$at" 3
  wait_popup_menu "$id" 10 >/dev/null
  # From the bottom: 关闭程序, 帮助信息, 文本便签, then 前置后置 above the separator.
  timeout 10 xdotool key --delay 150 Up Up Up Up Return || fail "keys to the menu failed"
}

not_above() { ! above; }
choose_topmost
wait_until 5 not_above || fail "前置后置 left _NET_WM_STATE_ABOVE set"
id=$(wait_window "^Quillet －" 10)
[[ $id == "$first" ]] || fail "the picture window was made anew ($first became $id)"
wait_geometry "$id" "50 50 $(picture_size "$PROGRAM_FOLDER/pic/1.jpg")"
choose_topmost
wait_until 5 above || fail "a second 前置后置 did not bring _NET_WM_STATE_ABOVE back"
sleep 0.5
! grep -q UnmapNotify "$WORK/structure.log" ||
  fail "the picture window left the screen while its topmost state changed: $(grep -c UnmapNotify "$WORK/structure.log") unmaps"
pass
