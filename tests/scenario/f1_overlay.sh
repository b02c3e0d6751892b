# While F1 is held the shortcut overlay covers the picture; releasing the key
# takes it away again.
source "$(dirname "$0")/lib.sh"
start_desktop
make_program_folder

picture="$WORK/white.jpg"
convert -size 400x300 xc:white "$picture"
start_on "$picture"
wait_geometry "$id" "50 50 400 300"

# Share of dark pixels inside the window, its frame line left out.
dark_inside() {
  screenshot "$WORK/shot.png"
  convert "$WORK/shot.png" -crop 390x290+55+55 +repage "$WORK/inside.png"
  dark_fraction "$WORK/inside.png"
}
is_clear() { awk -v d="$(dark_inside)" 'BEGIN { exit !(d < 0.001) }'; }
is_covered() { awk -v d="$(dark_inside)" 'BEGIN { exit !(d > 0.01) }'; }

wait_until 5 is_clear || fail "a white picture shows $(dark_inside) dark before F1"
focus_window "$id"
timeout 10 xdotool keydown F1 || fail "keydown F1 failed"
wait_until 5 is_covered || fail "with F1 held the picture shows only $(dark_inside) dark"
timeout 10 xdotool keyup F1 || fail "keyup F1 failed"
wait_until 5 is_clear || fail "after F1 was released $(dark_inside) stays dark"
pass
