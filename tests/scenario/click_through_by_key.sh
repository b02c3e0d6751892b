# C over the picture lets clicks through it and brings up the red dot as the
# way back. A double click on the dot, as the help tells the user, hides the
# picture and the next shows it again, while the dot stays on the screen to
# take every click; its menu "Don't Penetrate" gives back a clickable picture
# at the same place and size, and the dot goes away.
source "$(dirname "$0")/lib.sh"
start_desktop
make_program_folder

viewable() { [[ $(map_state "$1") == IsViewable ]]; }
host_hidden() { ! find_window '^Quillet$' >/dev/null; }
# The pointer leaves the dot first: a move to where it already is never ends.
on_dot() {
  timeout 10 xdotool mousemove --sync 600 600 || fail "moving the pointer away failed"
  click "$host" 7 7 "$@"
}

start_program
id=$(wait_window "^Quillet －" 20)
before=$(geometry "$id")

press "$id" c
host=$(wait_window '^Quillet$' 10)

on_dot --repeat 2 --delay 80 1
wait_until 5 bash -c "[[ \$(xwininfo -id $id 2>/dev/null | sed -n 's/^ *Map State: *//p') != IsViewable ]]" ||
  fail "the double click on the dot did not hide the click-through picture"
sleep 0.5
viewable "$host" || fail "the dot went away with the picture: nothing is left to click"

on_dot --repeat 2 --delay 80 1
id=$(wait_window "^Quillet －" 10)
sleep 0.5
viewable "$host" || fail "the dot went away while the picture still lets clicks through"

on_dot 3
wait_popup_menu "$host" 10 >/dev/null
# Display, Penetrate, Don't Penetrate, Exit Quillet.
timeout 10 xdotool key --delay 150 Down Down Down Return || fail "keys to the host menu failed"
id=$(wait_window "^Quillet －" 10)
wait_geometry "$id" "$before"
wait_until 5 host_hidden || fail "the dot stays beside a clickable picture"
program_alive || fail "the program ended"
pass
