# Keys of the main keyboard size the real window and set its opacity: minus
# makes it 5 pixels narrower (the height following the picture), equals gives
# them back, a digit sets the opacity in steps of 25 of 255 and Shift with
# the digit does the same, 0 makes the window opaque.
source "$(dirname "$0")/lib.sh"
start_desktop
make_program_folder

start_on_gradient 400x300

press "$id" minus
wait_geometry "$id" "50 50 395 296"
press "$id" equal
wait_geometry "$id" "50 50 400 300"

press "$id" 3
expect_alpha 75 "the key 3"
press "$id" 0
wait_until 5 bash -c "[[ -z \$(xprop -id $id _NET_WM_WINDOW_OPACITY | sed -n 's/.* = //p') || \$(xprop -id $id _NET_WM_WINDOW_OPACITY | sed -n 's/.* = //p') == 4294967295 ]]" ||
  fail "after 0 the window is not opaque: $(opacity)"
press "$id" shift+3
expect_alpha 75 "Shift+3"
press "$id" 9
expect_alpha 225 "the key 9"
pass
