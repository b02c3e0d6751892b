# "前置后置" from the right-click menu, walked with the keyboard, switches the
# window's always-on-top state as the window manager sees it.
source "$(dirname "$0")/lib.sh"
start_desktop
make_program_folder
start_program
id=$(wait_window "^Quillet －" 20)

# Switching the state re-creates the native window, so look it up afresh.
above() { xprop -id "$(find_window "^Quillet －")" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
wait_until 5 above || fail "the picture window does not start always on top: $(xprop -id "$id" _NET_WM_STATE)"

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

choose_topmost
sleep 0.5
wait_until 5 bash -c "! xprop -id \$(xdotool search --onlyvisible --name '^Quillet －' | tail -n 1) _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE" ||
  fail "前置后置 left _NET_WM_STATE_ABOVE set"
id=$(wait_window "^Quillet －" 10)
wait_geometry "$id" "50 50 $(picture_size "$PROGRAM_FOLDER/pic/1.jpg")"
choose_topmost
wait_until 5 above || fail "a second 前置后置 did not bring _NET_WM_STATE_ABOVE back"
pass
