# P opens the doodle window over the picture window, at its place and size,
# with the 72 × 350 colour window beside it. A drag across the canvas leaves
# a dark stroke on the screen; "保存" from the right-click menu, through the
# real file dialog, writes a JPEG of the doodle window's size with the
# stroke in it. Moving the picture window takes both windows along, and Esc
# in the colour window closes them while the picture stays.
source "$(dirname "$0")/lib.sh"
start_desktop
make_program_folder
export XDG_CACHE_HOME="$WORK/cache"

start_on_gradient 400x300
# Shift and a move half-way across the picture set its level to 147; the
# doodle window opens as see-through as that.
# The pointer comes from elsewhere each time (xdotool waits for it to move).
shift_half_way() {
  focus_window "$id"
  timeout 10 xdotool mousemove --sync 262 102 || fail "mousemove failed"
  timeout 10 xdotool keydown shift || fail "keydown failed"
  timeout 10 xdotool mousemove --sync 251 91 || fail "mousemove failed"
  timeout 10 xdotool mousemove --sync 250 90 || fail "mousemove failed"
  timeout 10 xdotool keyup shift || true
  sleep 0.3
  [[ $(opacity) == $(((147 * 4294967295) / 255)) ]]
}
wait_until 15 shift_half_way || fail "after Shift and a move half-way across the opacity is '$(opacity)'"
press "$id" p
doodle=$(wait_window '^涂鸦窗口$' 10)
wait_geometry "$doodle" "50 50 400 300" || fail "the doodle window is at $(geometry "$doodle")"
doodle_opacity() { xprop -id "$doodle" _NET_WM_WINDOW_OPACITY | sed -n 's/.* = //p'; }
[[ $(doodle_opacity) == $(opacity) ]] ||
  fail "the doodle window's opacity is '$(doodle_opacity)', the picture's '$(opacity)'"
colour=$(wait_window '^颜色窗口$' 10)
# 50 px of room on the left is too little for 72: it stands on the right.
wait_geometry "$colour" "450 50 72 350" || fail "the colour window is at $(geometry "$colour")"

# Gray level 0..255 of the screen at a point.
level_at() {
  convert "$1" -crop "1x1+$2+$3" +repage -colorspace Gray -format '%[fx:int(255*u)]' info:
}
drag 100 150 300 150
sleep 0.5
screenshot "$WORK/stroke.png"
for x in 150 200 250; do
  got=$(level_at "$WORK/stroke.png" "$x" 150)
  ((got < 60)) || fail "no dark stroke at $x,150 on the screen (gray $got)"
done
got=$(level_at "$WORK/stroke.png" 200 180)
((got > 60)) || fail "the stroke is wider than the pen (gray $got at 200,180)"

# R makes it nearly invisible, 25 of 255.
press "$doodle" r
faint() { [[ $(doodle_opacity) == $(((25 * 4294967295) / 255)) ]]; }
wait_until 5 faint || fail "after R the doodle window's opacity is '$(doodle_opacity)'"

mkdir -p "$WORK/out"
save_doodle "$doodle" "$WORK/out/doodle"
saved=$saved_doodle
[[ $(picture_size "$saved") == "400 300" ]] || fail "the saved doodle is $(picture_size "$saved")"
got=$(level_at "$saved" 150 100)
((got < 80)) || fail "the saved doodle has no stroke at 150,100 (gray $got)"
[[ -f $XDG_CACHE_HOME/quillet/ImageA.tmp ]] || fail "no ImageA.tmp in the user's cache"

# The picture window moved by the window system: both windows go with it.
timeout 10 xdotool windowmove "$id" 300 120 || fail "windowmove failed"
wait_geometry "$id" "300 120 400 300" || fail "the picture window is at $(geometry "$id")"
wait_geometry "$colour" "228 120 72 350" || fail "the colour window stayed at $(geometry "$colour")"
wait_geometry "$doodle" "700 120 400 300" || fail "the doodle window stayed at $(geometry "$doodle")"

close_doodle_by_esc "$colour"
program_alive || fail "the program ended"
pass
