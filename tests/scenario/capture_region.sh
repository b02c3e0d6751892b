# D photographs the screen and freezes it on a board over everything; a drag
# from (100, 200) to (300, 260) saves the inside of the outline, 198 × 58
# pixels of what the screen showed there, as a JPEG in "pic", and the
# picture window opens it right where the region was. Esc on the board
# cancels a capture.
source "$(dirname "$0")/lib.sh"
start_desktop
make_program_folder

# A pattern on the desktop, so that the region's pixels are known.
pattern_on_root 1280x1024 -fill white -draw 'circle 200,230 215,245' \
  -fill black -draw 'rectangle 120,210 160,250'
# A small picture window, away from the region.
start_on_small_picture
wait_geometry "$id" "50 50 100 80"

captures() { find "$PROGRAM_FOLDER/pic" -name '*.jpg' ! -name 1.jpg | sort; }
press "$id" d
wait_until 10 board_shown || fail "no selection board after D; windows: $(list_windows)"
press "$(find_window '^选择画板$')" Escape
wait_until 10 bash -c "! xdotool search --onlyvisible --name '^选择画板\$' >/dev/null" ||
  fail "Esc left the board open"
[[ -z $(captures) ]] || fail "Esc wrote $(captures)"
wait_geometry "$id" "50 50 100 80"

capture_by_drag 100 200 300 260
expect_capture "$WORK/desktop.png" 101 201 198 58
expect_picture_at 100 200 198
pass
