# `quillet FILE` shows that picture instead of the remembered one, and the
# next start without a name shows it again; a name that is no picture is
# explained on the terminal and the remembered picture comes up as usual.
source "$(dirname "$0")/lib.sh"
start_desktop
make_program_folder

remembered="$WORK/old.jpg"
convert -size 200x150 xc:navy "$remembered"
write_last_file "$remembered"
named="$WORK/图片 夹/new.jpg"
mkdir -p "$(dirname "$named")"
convert -size 240x120 xc:orange "$named"

start_program "$named"
id=$(wait_window "^Quillet －" 20)
[[ $(window_title "$id") == "$(main_title 240 120)" ]] || fail "title '$(window_title "$id")'"
press "$id" x
wait_program_exit 10
[[ $(read_last_file) == "$named" ]] || fail "上次文件.txt holds '$(read_last_file)'"

start_program
id=$(wait_window "^Quillet －" 20)
[[ $(window_title "$id") == "$(main_title 240 120)" ]] || fail "the next start shows '$(window_title "$id")'"
press "$id" x
wait_program_exit 10

printf 'no picture' >"$WORK/notes.txt"
start_program "$WORK/notes.txt"
id=$(wait_window "^Quillet －" 20)
[[ $(window_title "$id") == "$(main_title 240 120)" ]] || fail "a text file replaced the picture"
grep -q "notes.txt: not a JPEG or BMP picture" "$WORK/program-$PROGRAM_RUNS.log" ||
  fail "nothing explained on the terminal: $(cat "$WORK/program-$PROGRAM_RUNS.log")"
pass
