# "帮助信息" from the menu opens the help window at its design size.
source "$(dirname "$0")/lib.sh"
start_desktop
make_program_folder
start_program
id=$(wait_window "^Quillet －" 20)
focus_window "$id"
click "$id" 100 100 3
wait_popup_menu "$id" 10 >/dev/null
# From the bottom: 关闭程序, then 帮助信息.
timeout 10 xdotool key --delay 150 Up Up Return || fail "keys to the menu failed"
help=$(wait_window '^帮助信息$' 10)
read -r _ _ w h < <(geometry "$help")
[[ "$w $h" == "326 176" ]] || fail "the help window is ${w}×${h}, expected 326×176"
program_alive || fail "the program ended"
pass
