# A wheel turn over the picture makes the real window 80 pixels wider or
# narrower, the height following the picture's proportions.
source "$(dirname "$0")/lib.sh"
start_desktop
make_program_folder

start_on_gradient 400x300

# Button 5 turns the wheel toward the user: wider.
click "$id" 200 150 5
wait_geometry "$id" "50 50 480 360"
# A pointer already in place would never confirm a move: aim a little apart.
click "$id" 201 151 4
wait_geometry "$id" "50 50 400 300"
click "$id" 200 150 4
wait_geometry "$id" "50 50 320 240"
pass
