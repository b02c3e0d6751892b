# Alt with a double click hides the picture and brings up the red dot, whose
# double click shows the picture again, whole; Alt with a single click zooms
# into the picture where it was clicked.
source "$(dirname "$0")/lib.sh"
free_alt_from_wm
start_desktop
make_program_folder

picture="$WORK/wide.jpg"
convert -size 400x300 gradient:navy-orange -fill white -draw 'rectangle 20,20 120,90' "$picture"
start_on "$picture"
wait_geometry "$id" "50 50 400 300"

alt_click() { # X Y [click options]
  local x=$1 y=$2
  shift 2
  timeout 10 xdotool mousemove --sync $((50 + x)) $((50 + y)) || fail "mousemove failed"
  timeout 10 xdotool keydown alt || fail "keydown alt failed"
  timeout 10 xdotool click "$@" 1 || fail "click failed"
  timeout 10 xdotool keyup alt || fail "keyup alt failed"
}
difference() {
  screenshot "$WORK/shot.png"
  shown_difference "$WORK/shot.png" "$picture" 50 50
}
whole() { awk -v d="$(difference)" 'BEGIN { exit !(d < 0.08) }'; }

focus_window "$id"
alt_click 200 150 --repeat 2 --delay 80
host=$(wait_window '^Quillet$' 10)
wait_until 5 bash -c "[[ \$(xwininfo -id $id 2>/dev/null | sed -n 's/^ *Map State: *//p') != IsViewable ]]" ||
  fail "Alt with a double click left the picture shown"

click "$host" 7 7 --repeat 2 --delay 80 1
id=$(wait_window "^Quillet －" 10)
wait_geometry "$id" "50 50 400 300"
wait_until 5 whole || fail "the picture came back changed (difference $(difference))"

focus_window "$id"
alt_click 300 200
zoomed() { ! whole; }
wait_until 5 zoomed || fail "Alt with a click did not zoom (difference $(difference))"
[[ $(geometry "$id") == "50 50 400 300" ]] || fail "the zoom changed the window: $(geometry "$id")"
pass
