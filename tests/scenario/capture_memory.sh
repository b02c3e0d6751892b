# A capture given up frees its board: the photograph of the whole screen, its
# decoded picture and a window of the screen's size. Ten captures on a
# 1920 × 1200 screen leave the program about as large as one did.
source "$(dirname "$0")/lib.sh"
SCREEN_SIZE=1920x1200
start_desktop
make_program_folder

start_on_small_picture
wait_geometry "$id" "50 50 100 80"

# Resident memory of the program, in kB.
resident() { awk '/^VmRSS:/ { print $2 }' "/proc/$PROGRAM_PID/status"; }

board_gone() { ! xdotool search --onlyvisible --name '^选择画板$' >/dev/null; }

cancelled_capture() {
  press "$id" d
  wait_until 10 board_shown || fail "no selection board after D; windows: $(list_windows)"
  press "$(find_window '^选择画板$')" Escape
  wait_until 10 board_gone || fail "Esc left the board open"
  id=$(wait_window "^Quillet －" 10)
}

# What a capture needs comes in with the first; after that the program may
# only come back to its size.
cancelled_capture
sleep 1
after_one=$(resident)
for _ in 2 3 4 5 6 7 8 9 10; do cancelled_capture; done
sleep 1
after_ten=$(resident)
log "resident after one capture: $after_one kB, after ten: $after_ten kB"
# A board kept costs about 29 MB at this size; the heap keeps some slack of
# its own (13 MB here), never a board's worth.
((after_ten - after_one < 20000)) ||
  fail "ten cancelled captures grew the program from $after_one kB to $after_ten kB"
pass
