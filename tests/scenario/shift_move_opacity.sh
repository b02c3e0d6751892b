# Holding Shift while moving the pointer across the picture sets the window's
# opacity from the pointer's position: left edge nearly clear, right edge opaque.
source "$(dirname "$0")/lib.sh"
start_desktop
make_program_folder
start_program
id=$(wait_window "^Quillet －" 20)
read -r left top width height < <(geometry "$id")

focus_window "$id"
timeout 10 xdotool mousemove --sync $((left + width / 2)) $((top + 40)) || fail "mousemove failed"
timeout 10 xdotool keydown shift || fail "keydown failed"
timeout 10 xdotool mousemove --sync $((left + width / 2 + 1)) $((top + 41)) || fail "mousemove failed"
timeout 10 xdotool mousemove --sync $((left + width / 2)) $((top + 40)) || fail "mousemove failed"
timeout 10 xdotool keyup shift || true
# Half-way across gives alpha 147 of 255.
expect_alpha 147 "Shift and a move half-way across"

timeout 10 xdotool keydown shift || fail "keydown failed"
timeout 10 xdotool mousemove --sync $((left + 1)) $((top + 40)) || fail "mousemove failed"
timeout 10 xdotool keyup shift || true
expect_alpha 20 "Shift and a move to the left edge"
pass
