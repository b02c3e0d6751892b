# On a desktop of two monitors, the primary one on the right, the picture
# window's geometry rules hold on the monitor that holds the window: "*"
# fits the window to the left monitor when it sits there and to the primary
# one when it sits there, and Page Down (to the other picture of
# the folder) keeps it inside the left monitor.
source "$(dirname "$0")/lib.sh"
start_two_monitor_desktop
make_program_folder
folder="$WORK/pictures"
mkdir -p "$folder"
convert -size 400x300 gradient:navy-orange "$folder/a.jpg"
convert -size 400x200 gradient:white-green "$folder/b.jpg"
start_on "$folder/a.jpg"
wait_geometry "$id" "50 50 400 300"

at() { [[ $(geometry "$id") == "$1 $2 "* ]]; }
move_to() {
  xdotool windowmove "$id" "$1" "$2" || fail "xdotool windowmove failed"
  wait_until 5 at "$1" "$2" || fail "the window did not move to $1,$2: $(geometry "$id")"
  sleep 0.3 # the program hears of the move after the server does
}

# 400 x 300: 40 narrower than the monitor, then the height limit (100 less
# than the monitor's) gives the width back.
move_to 600 400
press "$id" KP_Multiply
wait_geometry "$id" "20 20 1182 886"

move_to 1500 100
press "$id" KP_Multiply
wait_geometry "$id" "1300 20 1416 1062"

# Low on the left monitor: the next picture's window is pulled up inside
# that monitor's bottom edge (1024), not the primary's (1200).
move_to 100 100
press "$id" KP_Multiply
wait_geometry "$id" "20 20 1182 886"
move_to 60 900
press "$id" Next
# The title stays; the proportions tell the picture: 1182 × 591, its bottom
# one pixel above the left monitor's.
wait_geometry "$id" "60 432 1182 591"
pass
