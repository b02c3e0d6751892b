# On a screen of two device pixels per pixel (Qt's scale factor 2), the
# doodle window covers the picture window's device pixels, a stroke drawn
# with the 5-pixel pen is 10 device pixels wide and sharp on the screen, and
# "保存" writes the doodle window's device pixels.
source "$(dirname "$0")/lib.sh"
SCREEN_SIZE=1920x1200
start_desktop
make_program_folder
export QT_SCALE_FACTOR=2

picture="$WORK/light.jpg"
convert -size 200x150 xc:'rgb(230,230,230)' "$picture"
start_on "$picture"
wait_geometry "$id" "100 100 400 300"
press "$id" p
doodle=$(wait_window '^涂鸦窗口$' 10)
wait_geometry "$doodle" "100 100 400 300" || fail "the doodle window is at $(geometry "$doodle")"

drag 150 250 450 250
sleep 0.5
screenshot "$WORK/stroke.png"
# Dark rows across the stroke at x = 300, on the screen.
dark_rows() {
  convert "$1" -crop "1x40+$2+$3" +repage -colorspace Gray -threshold 50% -negate \
    -format '%[fx:int(mean*h+0.5)]' info:
}
rows=$(dark_rows "$WORK/stroke.png" 300 230)
((rows >= 9 && rows <= 11)) || fail "the stroke is $rows device pixels wide on the screen"

save_doodle "$doodle" "$WORK/dense"
saved=$saved_doodle
[[ $(picture_size "$saved") == "400 300" ]] || fail "the saved doodle is $(picture_size "$saved")"
rows=$(dark_rows "$saved" 200 130)
((rows >= 9 && rows <= 11)) || fail "the saved stroke is $rows pixels wide"
pass
