# "关闭程序", the last entry of the right-click menu, ends the program, and the
# next start opens the same picture.
source "$(dirname "$0")/lib.sh"
start_desktop
make_program_folder

folder="$WORK/图片 文件夹"
mkdir -p "$folder"
picture="$folder/房子.jpg"
convert -size 600x420 xc:white -fill none -stroke black -strokewidth 3 \
  -draw "rectangle 100,150 500,380" -draw "line 100,150 300,40" -draw "line 300,40 500,150" \
  "$picture"
start_on "$picture"
[[ $(window_title "$id") == "$(main_title 600 420)" ]] ||
  fail "the picture from 上次文件.txt was not opened: title '$(window_title "$id")'"

rm -f "$LAST_FILE_RECORD"
focus_window "$id"
click "$id" 300 210 3
menu=$(wait_popup_menu "$id" 10)
read -r _ _ mw mh < <(geometry "$menu")
log "menu ${mw}×${mh}"
# Up from no selection wraps to the last entry.
timeout 10 xdotool key --delay 150 Up Return || fail "keys to the menu failed"
wait_program_exit 15
((PROGRAM_STATUS == 0)) || fail "the program exited with status $PROGRAM_STATUS after 关闭程序"

saved=$(read_last_file)
[[ $saved == "$picture" ]] || fail "上次文件.txt holds '$saved', expected '$picture'"

start_program
id=$(wait_window "^Quillet －" 20)
[[ $(window_title "$id") == "$(main_title 600 420)" ]] ||
  fail "the next start shows '$(window_title "$id")', not the picture closed with"
# The window keeps the picture's proportions as a 32-bit float: 420 / 600 is
# stored as 0.69999998, so the height is 419.
wait_geometry "$id" "50 50 600 419"
pass
