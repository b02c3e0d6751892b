# T turns the picture window into a framed note window captioned
# "文本便签模式"; after a click into the note, what is typed goes into it, T
# included. A click beside the note gives the keys back to the window, and T
# leaves the mode;
# so does a double click beside the note. "便签文本.txt" then holds exactly
# the typed text in GB18030.
source "$(dirname "$0")/lib.sh"
start_desktop
make_program_folder

printf '%s' '旧的' | iconv -f UTF-8 -t GB18030 >"$PROGRAM_FOLDER/便签文本.txt"
start_on_gradient 400x300

press "$id" t
# A frame may come with a new native window: look it up by its caption.
id=$(wait_window '^文本便签模式$' 10)
framed() { xprop -id "$id" _NET_FRAME_EXTENTS | grep -q '= [1-9]'; }
wait_until 5 framed || fail "the note window has no frame: $(xprop -id "$id" _NET_FRAME_EXTENTS)"

# A click into the note box gives it the keyboard: these keys are text, T
# and digits too.
focus_window "$id"
click "$id" 30 30 1
sleep 0.3
timeout 10 xdotool key --delay 60 ctrl+End || fail "xdotool failed"
timeout 10 xdotool type --delay 60 ' note T3x' || fail "xdotool type failed"
sleep 0.3
opacity=$(xprop -id "$id" _NET_WM_WINDOW_OPACITY | sed -n 's/.* = //p')
[[ -z $opacity || $opacity == 4294967295 ]] ||
  fail "the 3 typed into the note changed the window's transparency to $opacity"
framed || fail "T typed into the note left the mode"

# The caption stays; only the frame goes.
frameless() {
  id=$(find_window '^文本便签模式$') && ! xprop -id "$id" _NET_FRAME_EXTENTS | grep -q '= [1-9]'
}
note_holds() {
  wait_until 10 bash -c "[[ \$(iconv -f GB18030 -t UTF-8 '$PROGRAM_FOLDER/便签文本.txt') == '$1' ]]" ||
    fail "便签文本.txt holds '$(iconv -f GB18030 -t UTF-8 "$PROGRAM_FOLDER/便签文本.txt")', expected '$1'"
}

# A click beside the note box, on the picture, then T.
read -r _ _ w h < <(geometry "$id")
click "$id" $((w - 6)) $((h - 6)) 1
sleep 0.8
timeout 10 xdotool key t || fail "xdotool key failed"
wait_until 10 frameless || fail "T after a click beside the note did not leave the mode"
note_holds '旧的 note T3x'

# Again, and out with a double click beside the note this time.
press "$id" t
id=$(wait_window '^文本便签模式$' 10)
wait_until 5 framed || fail "T did not frame the window again"
focus_window "$id"
click "$id" 30 30 1
sleep 0.3
timeout 10 xdotool key --delay 60 ctrl+End || fail "xdotool failed"
timeout 10 xdotool type --delay 60 '!' || fail "xdotool type failed"
read -r _ _ w h < <(geometry "$id")
# A pointer already in place would never confirm a move: aim a little apart.
click "$id" $((w - 9)) $((h - 9)) --repeat 2 --delay 80 1
wait_until 10 frameless || fail "the window keeps its frame after a double click beside the note"
note_holds '旧的 note T3x!'
pass
