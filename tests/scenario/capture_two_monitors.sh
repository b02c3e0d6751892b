# On a desktop of two monitors (the primary one on the right), D freezes the
# whole desktop: the board covers both monitors, a drag across their
# boundary saves the pixels of both, and the picture window opens over the
# region in desktop coordinates.
source "$(dirname "$0")/lib.sh"
start_two_monitor_desktop
make_program_folder

# The desktop is 3200 x 1200; the left monitor shows its top 1024 rows.
pattern_on_root 3200x1200 -fill white -draw 'circle 1250,330 1265,345' \
  -fill black -draw 'rectangle 1290,310 1330,350'
start_on_small_picture
wait_geometry "$id" "50 50 100 80"

press "$id" d
wait_until 10 board_shown || fail "no selection board after D; windows: $(list_windows)"
wait_geometry "$(find_window '^选择画板$')" "0 0 3200 1200" 10
drag 1180 300 1400 380
expect_capture "$WORK/desktop.png" 1181 301 218 78
expect_picture_at 1180 300 218
pass
