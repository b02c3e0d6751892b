# Keys mean what they are, not the US key that would give the same symbol.
# German layout: Shift with the "+" key gives "*", and the window widens by
# 5 pixels as with "+" alone; Shift with "," gives ";" and narrows it as the
# comma does; the opacity stays. French layout: the "!" and "*" keys leave
# the opacity alone, while the digit row's "&" key sets it as 1 does.
source "$(dirname "$0")/lib.sh"
start_desktop
make_program_folder

# keycode_holds KEYCODE KEYSYM...: the layout puts those symbols on the key.
keycode_holds() {
  local code=$1 line
  shift
  line=$(xmodmap -pke | sed -n "s/^keycode *$code = //p")
  [[ $line == "$*"* ]] || fail "keycode $code holds '$line' under this layout, expected '$*'"
}

layout() {
  timeout 10 setxkbmap "$1" || fail "setxkbmap $1 failed"
  sleep 0.5
}

layout de
keycode_holds 35 plus asterisk
keycode_holds 59 comma semicolon
start_on_gradient 400x300


press "$id" 3
expect_alpha 75 "the key 3"
press "$id" shift+plus
wait_geometry "$id" "50 50 405 303"
expect_alpha 75 "Shift with the German '+' key"
press "$id" shift+comma
wait_geometry "$id" "50 50 400 300"
expect_alpha 75 "Shift with the German ',' key"

layout fr
keycode_holds 61 exclam
keycode_holds 51 asterisk
press "$id" exclam asterisk equal
wait_geometry "$id" "50 50 405 303"
expect_alpha 75 "the French '!' and '*' keys"
press "$id" ampersand
expect_alpha 25 "the French '&' key, which is 1"
program_alive || fail "the program ended"
pass
