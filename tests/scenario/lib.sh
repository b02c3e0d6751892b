# Harness for the scenario tests: a private X server with a window manager,
# a throw-away program folder, and helpers that look at the program from the
# outside the way a person would. Sourced by each test script, which is run as
#   bash <test>.sh <path to quillet> <folder with the default pictures>
# Every wait is bounded and everything started here is stopped on exit.

set -Eeuo pipefail

QUILLET=${1:?usage: $0 <quillet executable> <pic folder>}
PIC_SOURCE=${2:?usage: $0 <quillet executable> <pic folder>}

TEST_NAME=$(basename "$0" .sh)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/quillet-$TEST_NAME.XXXXXX")
PROGRAM_FOLDER="$WORK/program"
LAST_FILE_RECORD="$PROGRAM_FOLDER/上次文件.txt"
MAIN_TITLE_PREFIX="Quillet －  原图大小："

OPENBOX_ARGS=()
XVFB_PID=""
WM_PID=""
PROGRAM_PID=""
PROGRAM_RUNS=0
EXTRA_PIDS=()
TEST_FAILED=1

log() { printf '[%s] %s\n' "$TEST_NAME" "$*"; }

fail() {
  printf '[%s] FAIL: %s\n' "$TEST_NAME" "$*" >&2
  : >"$WORK/failed" # a failure inside $(...) is reported once, here
  exit 1
}

unexpected_error() {
  [[ -e "$WORK/failed" ]] && return 0
  : >"$WORK/failed"
  printf '[%s] FAIL: command failed at %s line %s: %s\n' "$TEST_NAME" "$1" "$2" "$3" >&2
}

pass() {
  TEST_FAILED=0
  log "PASS"
  exit 0
}

# also_stop PID: a helper process of the test (a window to click on, say),
# stopped with the rest when the test ends.
also_stop() { EXTRA_PIDS+=("$1"); }

# Stops one process we started: politely, then for sure.
stop_pid() {
  local pid=$1
  [[ -n $pid ]] || return 0
  kill -0 "$pid" 2>/dev/null || return 0
  kill -TERM "$pid" 2>/dev/null || true
  local i
  for ((i = 0; i < 50; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

cleanup() {
  local rc=$?
  if ((TEST_FAILED)) && [[ ! -e "$WORK/failed" ]]; then
    printf '[%s] FAIL: the test ended early without saying why (status %s)\n' "$TEST_NAME" "$rc" >&2
  fi
  local pid
  for pid in "${EXTRA_PIDS[@]}"; do stop_pid "$pid"; done
  stop_pid "$PROGRAM_PID"
  stop_pid "$WM_PID"
  stop_pid "$XVFB_PID"
  if ((rc != 0 || TEST_FAILED)); then
    local f
    for f in "$WORK"/program-*.log; do
      [[ -s $f ]] || continue
      echo "---- $(basename "$f") ----" >&2
      tail -n 40 "$f" >&2
    done
  fi
  if [[ -n ${QUILLET_SCENARIO_KEEP:-} ]]; then
    log "kept $WORK"
  else
    rm -rf "$WORK"
  fi
}
trap cleanup EXIT
trap 'unexpected_error "${BASH_SOURCE[0]##*/}" "$LINENO" "$BASH_COMMAND"' ERR
trap 'exit 130' INT TERM

# wait_until SECONDS COMMAND...: polls until COMMAND succeeds.
wait_until() {
  local limit=$1
  shift
  local deadline=$((SECONDS + limit))
  while ((SECONDS < deadline)); do
    if "$@" >/dev/null 2>&1; then
      return 0
    fi
    sleep 0.1
  done
  "$@" >/dev/null 2>&1
}

wm_ready() {
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# Starts Xvfb on a display number it picks itself, then openbox.
start_desktop() {
  start_x_server Xvfb -screen 0 "${SCREEN_SIZE:-1280x1024}x24" -nolisten tcp -noreset
  start_window_manager
}

# start_two_monitor_desktop: an X.Org server with the dummy driver and two
# RandR outputs, as a desktop with two monitors shows them: the primary
# monitor, 1920 x 1200, at 1280,0, and a 1280 x 1024 one left of it at 0,0.
# Xvfb has a single output only.
start_two_monitor_desktop() {
  local conf="$WORK/xorg.conf"
  cat >"$conf" <<'CONF'
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 5120 2400
  EndSubSection
EndSection
CONF
  start_x_server Xorg -config "$conf" -logfile "$WORK/xorg-server.log" -noreset -nolisten tcp
  xrandr --addmode DUMMY1 1280x1024 &&
    xrandr --output DUMMY0 --mode 1920x1200 --pos 1280x0 --primary \
      --output DUMMY1 --mode 1280x1024 --pos 0x0 ||
    fail "cannot set up two monitors: $(xrandr 2>&1 | head -n 5)"
  wait_until 10 bash -c "xrandr --listmonitors | grep -q '^Monitors: 2'" ||
    fail "the server shows $(xrandr --listmonitors | head -n 1)"
  start_window_manager
}

# start_x_server COMMAND...: the server on a display number it picks itself.
start_x_server() {
  local fifo="$WORK/displayfd"
  mkfifo "$fifo"
  "$@" -displayfd 3 3>"$fifo" >"$WORK/xserver.log" 2>&1 &
  XVFB_PID=$!
  local number=""
  read -r -t 20 number <"$fifo" || true
  [[ -n $number ]] || fail "$1 did not start: $(tail -n 5 "$WORK/xserver.log")"
  export DISPLAY=":$number"
  unset WAYLAND_DISPLAY QT_QPA_PLATFORM XAUTHORITY
  export XDG_RUNTIME_DIR="$WORK/runtime"
  mkdir -p "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  wait_until 20 xdpyinfo || fail "X server on $DISPLAY does not answer"
}

start_window_manager() {
  openbox --sm-disable "${OPENBOX_ARGS[@]}" >"$WORK/openbox.log" 2>&1 &
  WM_PID=$!
  wait_until 20 wm_ready || fail "openbox did not take over $DISPLAY"
  log "desktop ready on $DISPLAY"
}

# free_alt_from_wm: call before start_desktop. openbox takes every Alt+button
# for itself by default, as many window managers do; a user who wants the
# program's Alt gestures frees them in the manager's settings, as done here.
free_alt_from_wm() {
  local rc="$WORK/openbox-rc.xml"
  python3 - /etc/xdg/openbox/rc.xml "$rc" <<'PY' || fail "cannot write an openbox configuration"
import re, sys
text = open(sys.argv[1], encoding="utf-8").read()
text = re.sub(r'<mousebind button="A-[^"]*"[^>]*>.*?</mousebind>', "", text, flags=re.S)
open(sys.argv[2], "w", encoding="utf-8").write(text)
PY
  OPENBOX_ARGS=(--config-file "$rc")
}

# A fresh program folder holding only the shipped pictures, as after unpacking.
make_program_folder() {
  mkdir -p "$PROGRAM_FOLDER"
  cp -r "$PIC_SOURCE" "$PROGRAM_FOLDER/pic"
  [[ -f "$PROGRAM_FOLDER/pic/1.jpg" ]] || fail "no default picture in $PIC_SOURCE"
}

# write_last_file PATH: the record an earlier run would have left, in GB18030.
write_last_file() {
  printf '%s' "$1" | iconv -f UTF-8 -t GB18030 >"$LAST_FILE_RECORD" ||
    fail "cannot encode $1 in GB18030"
}

# read_last_file: the record decoded to UTF-8, without a trailing line end.
read_last_file() {
  [[ -f $LAST_FILE_RECORD ]] || fail "上次文件.txt was not written"
  local text
  text=$(iconv -f GB18030 -t UTF-8 "$LAST_FILE_RECORD") ||
    fail "上次文件.txt is not valid GB18030: $(od -c "$LAST_FILE_RECORD" | head -n 3)"
  text=${text%$'\n'}
  text=${text%$'\r'}
  printf '%s' "$text"
}

start_program() {
  PROGRAM_RUNS=$((PROGRAM_RUNS + 1))
  local out="$WORK/program-$PROGRAM_RUNS.log"
  QUILLET_PROGRAM_FOLDER="$PROGRAM_FOLDER" "$QUILLET" "$@" </dev/null >"$out" 2>&1 &
  PROGRAM_PID=$!
  log "started quillet (pid $PROGRAM_PID)"
}

# wait_program_exit SECONDS: waits for the program to end by itself and
# sets PROGRAM_STATUS to its exit status.
# shellcheck disable=SC2034 # read by the test scripts
wait_program_exit() {
  local limit=$1
  wait_until "$limit" bash -c "! kill -0 $PROGRAM_PID" ||
    fail "the program was still running $limit s later"
  PROGRAM_STATUS=0
  wait "$PROGRAM_PID" || PROGRAM_STATUS=$?
  PROGRAM_PID=""
}

program_alive() {
  [[ -n $PROGRAM_PID ]] && kill -0 "$PROGRAM_PID" 2>/dev/null
}

# find_window REGEX: the first viewable window of the program whose title
# matches REGEX.
find_window() {
  local id
  for id in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
    if [[ $(map_state "$id") == IsViewable ]]; then
      echo "$id"
      return 0
    fi
  done
  return 1
}

# wait_window REGEX [SECONDS]: prints the window id once it is viewable.
wait_window() {
  local regex=$1 limit=${2:-20}
  local deadline=$((SECONDS + limit)) id
  while ((SECONDS < deadline)); do
    if id=$(find_window "$regex"); then
      echo "$id"
      return 0
    fi
    program_alive || fail "the program ended while waiting for a window named /$regex/"
    sleep 0.1
  done
  fail "no viewable window named /$regex/ within $limit s; windows: $(list_windows)"
}

list_windows() {
  local id out=""
  for id in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
    out+="[$(xdotool getwindowname "$id" 2>/dev/null)] "
  done
  echo "${out:-none}"
}

window_title() { xdotool getwindowname "$1"; }

map_state() { xwininfo -id "$1" 2>/dev/null | sed -n 's/^ *Map State: *//p'; }

# geometry ID: "X Y WIDTH HEIGHT" of the window's inside, on the screen.
geometry() {
  xwininfo -id "$1" | awk -F: '
    /Absolute upper-left X/ { x = $2 }
    /Absolute upper-left Y/ { y = $2 }
    /^ *Width/  { w = $2 }
    /^ *Height/ { h = $2 }
    END { printf "%d %d %d %d\n", x, y, w, h }'
}

# wait_geometry ID "X Y W H" [SECONDS]: the window manager may still be
# placing a window that just appeared.
wait_geometry() {
  local id=$1 want=$2 limit=${3:-5}
  local deadline=$((SECONDS + limit)) got
  while :; do
    got=$(geometry "$id")
    [[ $got == "$want" ]] && return 0
    ((SECONDS < deadline)) || break
    sleep 0.1
  done
  fail "window $id ('$(window_title "$id")') is at '$got' (x y width height), expected '$want'"
}

picture_size() { identify -format '%w %h\n' "$1[0]"; }

main_title() { echo "$MAIN_TITLE_PREFIX$1  ×$2"; }

# Keys go through XTEST to the focused window, as a keyboard's would.
focus_window() {
  local id=$1
  timeout 5 xdotool windowactivate --sync "$id" >/dev/null 2>&1 ||
    timeout 5 xdotool windowfocus --sync "$id" >/dev/null 2>&1 ||
    fail "cannot give the keyboard focus to window $id"
}

press() {
  local id=$1
  shift
  focus_window "$id"
  timeout 10 xdotool key --delay 80 "$@" || fail "xdotool key $* failed"
}

# click ID X Y [OPTIONS] BUTTON: a click at a point inside the window;
# OPTIONS are xdotool's (--repeat 2 for a double click).
click() {
  local left top x y
  read -r left top _ _ < <(geometry "$1")
  x=$((left + $2))
  y=$((top + $3))
  shift 3
  timeout 10 xdotool mousemove --sync "$x" "$y" click "$@" || fail "click at $x,$y failed"
}

# popup_menu EXCEPT: the program's open pop-up menu, an override-redirect
# window other than EXCEPT (the window it was opened from).
popup_menu() {
  local id info
  for id in $(xdotool search --onlyvisible --pid "$PROGRAM_PID" 2>/dev/null); do
    [[ $id == "$1" ]] && continue
    info=$(xwininfo -id "$id" 2>/dev/null) || continue
    if grep -q 'Map State: IsViewable' <<<"$info" &&
      grep -q 'Override Redirect State: yes' <<<"$info"; then
      echo "$id"
      return 0
    fi
  done
  return 1
}

# wait_popup_menu EXCEPT [SECONDS]: prints the id of the pop-up menu.
wait_popup_menu() {
  local limit=${2:-10} deadline id
  deadline=$((SECONDS + limit))
  while ((SECONDS < deadline)); do
    if id=$(popup_menu "$1"); then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  fail "no pop-up menu appeared within $limit s; windows: $(list_windows)"
}

screenshot() { import -window root "$1" || fail "screenshot failed"; }

# shown_difference SHOT PICTURE X Y: how far the screen region at X,Y is from
# PICTURE, as a normalised root mean square error (0 = identical). Both are
# compared at a quarter of their size, so a frame line or a one-pixel
# resampling does not count, while a blank, shifted or mirrored picture does.
shown_difference() {
  local shot=$1 picture=$2 x=$3 y=$4 w h sw sh
  read -r w h < <(picture_size "$picture")
  sw=$(((w + 3) / 4))
  sh=$(((h + 3) / 4))
  convert "$shot" -crop "${w}x${h}+${x}+${y}" +repage -resize "${sw}x${sh}!" "$WORK/shown-small.png"
  convert "$picture" -resize "${sw}x${sh}!" "$WORK/picture-small.png"
  # compare's status says whether the images differ; the figure is the answer.
  local out
  out=$(compare -metric RMSE "$WORK/shown-small.png" "$WORK/picture-small.png" null: 2>&1) || true
  [[ $out == *"("* ]] || fail "compare gave no figure: $out"
  sed -n 's/.*(\([0-9.e-]*\)).*/\1/p' <<<"$out"
}

# dark_fraction IMAGE: share of pixels darker than mid-grey.
dark_fraction() {
  convert "$1" -colorspace Gray -threshold 50% -format '%[fx:1-mean]' info:
}

# rmse A B: how far two pictures of one size are apart, as a normalised root
# mean square error (0 = identical).
rmse() {
  local out
  # compare's status says whether the images differ; the figure is the answer.
  out=$(compare -metric RMSE "$1" "$2" null: 2>&1) || true
  [[ $out == *"("* ]] || fail "compare gave no figure: $out"
  sed -n 's/.*(\([0-9.e-]*\)).*/\1/p' <<<"$out"
}

# start_on PICTURE: the program started on PICTURE, as remembered from an
# earlier run; its picture window in `id`.
start_on() {
  write_last_file "$1"
  start_program
  id=$(wait_window "^Quillet －" 20)
}

# start_in_folder_of_three: a folder (in `folder`) of three pictures of
# different proportions, listed in directory order (in `order`), and the
# program started on the first; its window in `id`, its title in `title`,
# the first picture's size in `w0` and `h0`.
start_in_folder_of_three() {
  folder="$WORK/pictures"
  mkdir -p "$folder"
  convert -size 400x300 gradient:navy-orange "$folder/a.jpg"
  convert -size 400x200 gradient:white-green "$folder/b.jpg"
  convert -size 300x400 gradient:red-blue "$folder/c.jpg"
  # Directory order, as the program lists the folder.
  mapfile -t order < <(ls -U "$folder")
  ((${#order[@]} == 3)) || fail "expected three pictures, found: ${order[*]}"
  start_on "$folder/${order[0]}"
  read -r w0 h0 < <(picture_size "$folder/${order[0]}")
  title=$(window_title "$id")
  [[ $title == "$(main_title "$w0" "$h0")" ]] || fail "title '$title'"
  wait_geometry "$id" "50 50 $w0 $h0"
}

# start_on_gradient WxH: the program started on a WxH gradient picture (in
# `picture`), its picture window (in `id`) viewable at 50, 50 at that size.
start_on_gradient() {
  picture="$WORK/gradient.jpg"
  convert -size "$1" gradient:navy-orange "$picture"
  start_on "$picture"
  wait_geometry "$id" "50 50 ${1/x/ }"
}

board_shown() { find_window '^选择画板$' >/dev/null; }

# capture_by_drag X1 Y1 X2 Y2: D on the picture window, then a drag on the
# frozen screen between the two screen points.
capture_by_drag() {
  press "$id" d
  wait_until 10 board_shown || fail "no selection board after D; windows: $(list_windows)"
  drag "$@"
}

# expect_picture_at X Y W: the picture window's inside starts at X, Y and is W wide.
expect_picture_at() {
  local x y w
  id=$(wait_window "^Quillet －" 10)
  read -r x y w _ < <(geometry "$id")
  [[ "$x $y $w" == "$1 $2 $3" ]] || fail "the picture window stands at $x,$y ${w} wide"
}

# expect_capture SCREEN X Y W H: one capture was saved in "pic", W × H, and
# it shows the part of the picture SCREEN at X, Y.
expect_capture() {
  local screen=$1 x=$2 y=$3 w=$4 h=$5 saved
  captured() { [[ -n $(find "$PROGRAM_FOLDER/pic" -name '*.jpg' ! -name 1.jpg) ]]; }
  wait_until 10 captured || fail "nothing was saved in pic: $(ls "$PROGRAM_FOLDER/pic")"
  saved=$(find "$PROGRAM_FOLDER/pic" -name '*.jpg' ! -name 1.jpg)
  [[ $(wc -l <<<"$saved") == 1 ]] || fail "more than one capture: $saved"
  [[ -z $(find "$PROGRAM_FOLDER/pic" -mindepth 1 ! -name '*.jpg') ]] ||
    fail "not only pictures in pic (a temporary file left?): $(ls "$PROGRAM_FOLDER/pic")"
  [[ $(picture_size "$saved") == "$w $h" ]] || fail "the capture is $(picture_size "$saved")"
  convert "$screen" -crop "${w}x${h}+${x}+${y}" +repage "$WORK/expected.png"
  local d
  d=$(rmse "$saved" "$WORK/expected.png")
  awk -v d="$d" 'BEGIN { exit !(d < 0.05) }' || fail "the capture is not the screen's region ($d)"
}

# show_on_root PICTURE: the picture as the desktop's background, from the
# screen's top-left corner, so that a region of the screen is known.
show_on_root() {
  # display answers 1 even when the background was set; the screen tells.
  timeout 20 display -window root "$1" || true
  screenshot "$WORK/root-check.png"
  local w h
  read -r w h < <(picture_size "$1")
  convert "$WORK/root-check.png" -crop "${w}x${h}+0+0" +repage "$WORK/root-part.png"
  local d
  d=$(rmse "$WORK/root-part.png" "$1")
  awk -v d="$d" 'BEGIN { exit !(d < 0.02) }' || fail "cannot put $1 on the root window ($d)"
}

# opacity: the picture window's _NET_WM_WINDOW_OPACITY (empty when opaque).
opacity() { xprop -id "$id" _NET_WM_WINDOW_OPACITY | sed -n 's/.* = //p'; }

# expect_alpha ALPHA WHAT: the picture window reaches that alpha of 255
# after WHAT (the words of the failure).
expect_alpha() {
  local want=$((($1 * 4294967295) / 255))
  reached() { [[ $(opacity) == "$want" ]]; }
  wait_until 5 reached || fail "after $2 the opacity is '$(opacity)', expected $want (alpha $1)"
}

# pattern_on_root WxH DRAW...: a gradient of that size with ImageMagick's
# drawing options DRAW on the desktop's background, kept in
# $WORK/desktop.png, so that the pixels of any region are known.
pattern_on_root() {
  local size=$1
  shift
  convert -size "$size" gradient:navy-orange "$@" "$WORK/desktop.png"
  show_on_root "$WORK/desktop.png"
}

# start_on_small_picture: the program on a plain 100 x 80 picture, a small
# window at 50,50 that leaves the screen around it free.
start_on_small_picture() {
  picture="$WORK/small.jpg"
  convert -size 100x80 xc:green "$picture"
  start_on "$picture"
}

# drag X1 Y1 X2 Y2: the left button pressed at one screen point, moved in
# steps and released at the other.
drag() {
  timeout 10 xdotool mousemove --sync "$1" "$2" mousedown 1 || fail "press at $1,$2 failed"
  local i
  for i in 1 2 3 4; do
    timeout 10 xdotool mousemove --sync $(($1 + ($3 - $1) * i / 4)) $(($2 + ($4 - $2) * i / 4)) ||
      fail "move failed"
  done
  timeout 10 xdotool mouseup 1 || fail "release at $3,$4 failed"
}

# same_file A B: both names lead to one existing file.
same_file() { [[ -e $1 && -e $2 && $1 -ef $2 ]]; }

# save_doodle DOODLE PATH: "保存", the first entry of the doodle window's
# right-click menu, then PATH typed into the real save dialog (".jpg" is
# added there); waits until the file is written.
save_doodle() {
  click "$1" 100 250 3
  wait_popup_menu "$1" 10 >/dev/null
  timeout 10 xdotool key --delay 150 Down Return || fail "keys to the menu failed"
  local dialog
  dialog=$(wait_window '^保存图形文件$' 10)
  focus_window "$dialog"
  timeout 10 xdotool type --delay 20 "$2" || fail "typing the name failed"
  timeout 10 xdotool key Return || fail "Return in the dialog failed"
  saved_doodle="$2.jpg"
  doodle_written() { [[ -s $saved_doodle ]]; }
  wait_until 10 doodle_written || fail "nothing was saved at $saved_doodle"
}

# close_doodle_by_esc COLOUR: Esc in the colour window closes it and the
# doodle window; the picture window (`id`) stays.
close_doodle_by_esc() {
  press "$1" Escape
  doodle_gone() { ! find_window '^涂鸦窗口$' >/dev/null && ! find_window '^颜色窗口$' >/dev/null; }
  wait_until 10 doodle_gone || fail "Esc in the colour window left $(list_windows)"
  [[ $(map_state "$id") == IsViewable ]] || fail "the picture window went with the doodle"
}
