# Page Down walks the pictures of the folder in directory order at the width
# the window has, each at its own proportions, and wraps to the first; Page
# Up goes back. The title, written when the window was made, stays.
source "$(dirname "$0")/lib.sh"
start_desktop
make_program_folder

start_in_folder_of_three

# Shown at the width the window has, each at its own proportions.
shown_at_width() {
  local w h
  read -r w h < <(picture_size "$folder/$1")
  echo "50 50 $w0 $((w0 * h / w))"
}
for next in 1 2 0; do
  press "$id" Next
  wait_geometry "$id" "$(shown_at_width "${order[$next]}")"
  [[ $(window_title "$id") == "$title" ]] || fail "the title changed to '$(window_title "$id")'"
done
press "$id" Prior
wait_geometry "$id" "$(shown_at_width "${order[2]}")"

# Closing keeps the picture walked to for the next start.
press "$id" x
wait_program_exit 10
[[ $(read_last_file) == "$folder/${order[2]}" ]] || fail "上次文件.txt holds '$(read_last_file)'"
pass
