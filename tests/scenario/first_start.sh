# With no state files, the program opens the bundled picture at 50,50, at the
# picture's own size, names the size in the title and really paints it.
source "$(dirname "$0")/lib.sh"
start_desktop
make_program_folder

picture="$PROGRAM_FOLDER/pic/1.jpg"
read -r w h < <(picture_size "$picture")
start_program
id=$(wait_window "^Quillet －" 20)

title=$(window_title "$id")
[[ $title == "$(main_title "$w" "$h")" ]] ||
  fail "title is '$title', expected '$(main_title "$w" "$h")'"
wait_geometry "$id" "50 50 $w $h"

# Give the first paint a moment, then compare what is on the screen with
# the picture itself; a blank or shifted window is far off.
sleep 0.5
screenshot "$WORK/screen.png"
convert "$WORK/screen.png" -crop "${w}x${h}+50+50" +repage "$WORK/shown.png"
dark=$(dark_fraction "$WORK/shown.png")
awk -v d="$dark" 'BEGIN { exit !(d > 0.02) }' ||
  fail "the window shows no drawing: only $dark of it is dark"
diff=$(shown_difference "$WORK/screen.png" "$picture" 50 50)
awk -v d="$diff" 'BEGIN { exit !(d < 0.08) }' ||
  fail "the window does not show the default picture (difference $diff)"

program_alive || fail "the program ended by itself"
pass
