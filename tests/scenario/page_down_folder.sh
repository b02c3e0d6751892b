# Page Down walks the pictures of the folder in directory order at the width
# the window has, each at its own proportions, and wraps to the first; Page
# Up goes back. The title, written when the window was made, stays.
source "$(dirname "$0")/lib.sh"
start_desktop
make_program_folder

folder="$WORK/pictures"
mkdir -p "$folder"
convert -size 400x300 gradient:navy-orange "$folder/a.jpg"
convert -size 400x200 gradient:white-green "$folder/b.jpg"
convert -size 300x400 gradient:red-blue "$folder/c.jpg"
# Directory order, as the program lists the folder.
mapfile -t order < <(ls -U "$folder")
((${#order[@]} == 3)) || fail "expected three pictures, found: ${order[*]}"

first="$folder/${order[0]}"
write_last_file "$first"
start_program
id=$(wait_window "^Quillet －" 20)
read -r w0 h0 < <(picture_size "$first")
title=$(window_title "$id")
[[ $title == "$(main_title "$w0" "$h0")" ]] || fail "title '$title'"
wait_geometry "$id" "50 50 $w0 $h0"

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
