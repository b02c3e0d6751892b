# A closed doodle frees its windows: the monitor-sized canvas with its
# background and strokes, the snapshot and both native windows. Ten doodles,
# each with a stroke, on a 1920 × 1200 screen leave the program about as
# large as one did.
source "$(dirname "$0")/lib.sh"
SCREEN_SIZE=1920x1200
start_desktop
make_program_folder

start_on_gradient 400x300

# Resident memory of the program, in kB.
resident() { awk '/^VmRSS:/ { print $2 }' "/proc/$PROGRAM_PID/status"; }
doodle_gone() { ! find_window '^涂鸦窗口$' >/dev/null; }

at=0
one_doodle() {
  press "$id" p
  doodle=$(wait_window '^涂鸦窗口$' 10)
  at=$(((at + 7) % 60))
  drag $((100 + at)) 150 $((300 + at)) 200
  press "$doodle" p
  wait_until 10 doodle_gone || fail "P left the doodle window open"
}

one_doodle
sleep 1
after_one=$(resident)
for _ in 2 3 4 5 6 7 8 9 10; do one_doodle; done
sleep 1
after_ten=$(resident)
log "resident after one doodle: $after_one kB, after ten: $after_ten kB"
# A doodle kept costs about 27 MB at this size (three words a pixel of the
# canvas, a byte of ink); the heap keeps some slack of its own, never that.
((after_ten - after_one < 20000)) ||
  fail "ten doodles grew the program from $after_one kB to $after_ten kB"
pass
