# T, T: a look at the note and straight back to the picture. Entering leaves
# the keyboard with the window, so the second T leaves the mode instead of
# going into the note; the window is frameless at the picture's proportions
# again, and "便签文本.txt", written by a Windows editor in code page 936,
# keeps its bytes, its inode and its modification time, also after the
# program has ended.
source "$(dirname "$0")/lib.sh"
start_desktop
make_program_folder

note="$PROGRAM_FOLDER/便签文本.txt"
# "便签：买颜料 €12" and a line end; 0x80 is the code page's euro sign.
printf '\xb1\xe3\xc7\xa9\xa3\xba\xc2\xf2\xd1\xd5\xc1\xcf \x80\x31\x32\r\n' >"$note"
cp "$note" "$WORK/note-before"
touch -d '2020-01-02 03:04:05' "$note"
untouched() {
  cmp -s "$note" "$WORK/note-before" || fail "$1: 便签文本.txt now holds $(od -An -tx1 "$note")"
  [[ $(stat -c '%i %Y' "$note") == "$stamp" ]] || fail "$1: 便签文本.txt was written again"
}
stamp=$(stat -c '%i %Y' "$note")

start_on_gradient 400x300
framed() {
  id=$(find_window '^文本便签模式$') && xprop -id "$id" _NET_FRAME_EXTENTS | grep -q '= [1-9]'
}
frameless() {
  id=$(find_window '^文本便签模式$') && ! xprop -id "$id" _NET_FRAME_EXTENTS | grep -q '= [1-9]'
}

press "$id" t
wait_until 10 framed || fail "T did not frame the window around the note; windows: $(list_windows)"
# The second T with no click between. The framed window may be a new native
# window that the window manager has yet to focus: activate it, which gives
# the keyboard back to whatever inside it had it.
press "$id" t
wait_until 10 frameless || fail "the second T did not leave the note"
read -r _ _ w h < <(geometry "$id")
[[ "$w $h" == "400 300" ]] || fail "the picture came back ${w}x$h, expected 400x300"
untouched "after T, T"

kill -TERM "$PROGRAM_PID"
wait_program_exit 15
untouched "after the program ended"
pass
