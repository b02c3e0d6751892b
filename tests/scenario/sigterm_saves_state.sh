# SIGTERM ends the program cleanly (status 0) after writing "上次文件.txt" with
# the picture on screen, encoded so the Chinese folder name round-trips.
source "$(dirname "$0")/lib.sh"
start_desktop
make_program_folder

folder="$WORK/描图 素材"
mkdir -p "$folder"
picture="$folder/静物 一.jpg"
convert -size 520x390 xc:white -fill none -stroke black -strokewidth 3 \
  -draw "circle 260,195 260,60" "$picture"
start_on "$picture"
[[ $(window_title "$id") == "$(main_title 520 390)" ]] ||
  fail "the picture from 上次文件.txt was not opened: title '$(window_title "$id")'"

# Starting from a different record proves the file is written at exit, not
# merely left alone.
rm -f "$LAST_FILE_RECORD"
kill -TERM "$PROGRAM_PID"
wait_program_exit 15
((PROGRAM_STATUS == 0)) || fail "the program exited with status $PROGRAM_STATUS after SIGTERM"

saved=$(read_last_file)
[[ $saved == "$picture" ]] ||
  fail "上次文件.txt holds '$saved', expected '$picture'"

# And the bundled picture: whatever name the program records for it must lead
# to that file.
rm -f "$LAST_FILE_RECORD"
start_program
id=$(wait_window "^Quillet －" 20)
kill -TERM "$PROGRAM_PID"
wait_program_exit 15
((PROGRAM_STATUS == 0)) || fail "the program exited with status $PROGRAM_STATUS after SIGTERM"
saved=$(read_last_file)
same_file "$saved" "$PROGRAM_FOLDER/pic/1.jpg" ||
  fail "上次文件.txt holds '$saved', which is not the default picture"
pass
