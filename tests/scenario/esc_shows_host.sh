# Esc closes only the picture window: the program keeps running and its
# 15 × 15 host window "Quillet" comes up in its place; a double click on the
# host brings the picture back and the host goes away again.
source "$(dirname "$0")/lib.sh"
start_desktop
make_program_folder

host_hidden() { ! find_window '^Quillet$' >/dev/null; }

start_program
id=$(wait_window "^Quillet －" 20)
title=$(window_title "$id")
wait_until 5 host_hidden || fail "the host window is viewable while the picture is shown"

press "$id" Escape
host=$(wait_window '^Quillet$' 10)
read -r _ _ w h < <(geometry "$host")
[[ "$w $h" == "15 15" ]] || fail "the host window is ${w}×${h}, expected 15×15"
wait_until 5 bash -c "[[ \$(xwininfo -id $id 2>/dev/null | sed -n 's/^ *Map State: *//p') != IsViewable ]]" ||
  fail "the picture window is still viewable after Esc"
program_alive || fail "Esc ended the program; it should close only the picture"

click "$host" 7 7 --repeat 2 --delay 80 1
id=$(wait_window "^Quillet －" 10)
[[ $(window_title "$id") == "$title" ]] ||
  fail "the host brought back '$(window_title "$id")', expected '$title'"
wait_until 5 host_hidden || fail "the host window stays viewable next to the picture"
pass
