# S opens the options window "自动浏览选项", 167 × 117, at the picture's
# corner. With the interval set to 1 and "开始" clicked, the window becomes a
# strip 8 pixels high, 5 pixels above the picture's top and as wide, and
# the picture window walks the folder's three pictures every second, each
# at its own proportions, wrapping around; the strip follows the picture
# when it moves. S again closes the options window. Started again, the
# slideshow's next tick after Esc closed the picture ends the program, which
# leaves the picture it showed in the last-file record.
source "$(dirname "$0")/lib.sh"
start_desktop
make_program_folder

start_in_folder_of_three

press "$id" s
options=$(wait_window '^自动浏览选项$' 10)
wait_geometry "$options" "50 50 167 117"

# The interval box sits in the "间隔" group; "开始" below the groups.
click "$options" 125 38 1
timeout 10 xdotool key --delay 60 ctrl+a BackSpace 1 || fail "typing the interval failed"
click "$options" 70 95 1
wait_geometry "$options" "50 45 $w0 8"

height_of() {
  local w h
  read -r w h < <(picture_size "$folder/$1")
  echo $((w0 * h / w))
}
for next in 1 2 0; do
  wait_geometry "$id" "50 50 $w0 $(height_of "${order[$next]}")" 3
  [[ $(window_title "$id") == "$title" ]] || fail "the title changed to '$(window_title "$id")'"
done
wait_geometry "$options" "50 45 $w0 8"

# The arrow keys move a picture that fills its window by a pixel.
press "$id" Down Down Right
read -r x y w _ < <(geometry "$id")
wait_geometry "$options" "$x $((y - 5)) $w 8"

press "$id" s
wait_until 5 bash -c "! xdotool search --onlyvisible --name '^自动浏览选项\$' >/dev/null" ||
  fail "S did not close the options window"

press "$id" s
options=$(wait_window '^自动浏览选项$' 10)
click "$options" 70 95 1
read -r x y w h < <(geometry "$id")
wait_geometry "$options" "$x $((y - 5)) $w 8"
press "$id" Escape
wait_program_exit 5
((PROGRAM_STATUS == 0)) || fail "the program ended with status $PROGRAM_STATUS"
last=$(read_last_file)
[[ $last == "$folder"/* ]] || fail "the last-file record names '$last'"
read -r lw lh < <(picture_size "$last")
((h == w * lh / lw)) || fail "a picture of ${w}×${h} was shown, but the record names $last"
pass
