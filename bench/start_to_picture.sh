#!/usr/bin/env bash
# Start to picture, seen from outside: how long quillet, qimgv and feh take
# from being started on a big photo to showing it on the screen, and how much
# resident memory each holds while showing it. Each viewer runs on a private
# Xvfb (1920 x 1200) with openbox; pixel_watch starts it and reads one screen
# pixel every 2 ms until that pixel shows the photo's flat magenta centre.
#
# usage: bench/start_to_picture.sh [BUILD_DIR [RUNS]]
#   BUILD_DIR  a build with quillet and pixel_watch in bin/ (default build;
#              configure with -DQUILLET_BENCH=ON)
#   RUNS       timed starts of each viewer on each photo (default 7)
# Needs Xvfb, openbox, ImageMagick (convert, import), and the viewers qimgv
# and feh; without those two there is nothing to compare and it exits 0.
#
# Each viewer shows the photo the way it does by default: quillet at its
# size, the window's corner at 50,50; feh at its size, centred in a window
# as large as the screen; qimgv fitted into its window. Where the magenta
# shows therefore differs, so a first, untimed start of each viewer on each
# photo finds the spot on a screenshot; that start also warms the caches and
# writes qimgv's first-run settings, so every timed start is a usual one.
# quillet starts each time from a fresh program folder, so that it never
# reopens what an earlier start left behind. The runs are interleaved
# (every viewer once, then again) so that a change in the machine's load
# falls on all of them alike.
set -Eeuo pipefail

build=${1:-build}
runs=${2:-7}
[[ $runs =~ ^[1-9][0-9]*$ ]] || { echo "RUNS must be a positive number, not '$runs'" >&2; exit 2; }

for viewer in qimgv feh; do
  if ! command -v "$viewer" >/dev/null; then
    echo "start_to_picture: $viewer is not installed (Debian: apt-get install qimgv feh);" \
      "nothing to compare with, nothing measured"
    exit 0
  fi
done
quillet=$build/bin/quillet
watch=$build/bin/pixel_watch
for needed in "$quillet" "$watch"; do
  [[ -x $needed ]] || {
    echo "not built: $needed (configure with -DQUILLET_BENCH=ON, X11 needed)" >&2
    exit 2
  }
done
[[ -d $build/bin/pic ]] || { echo "no $build/bin/pic beside the program" >&2; exit 2; }
for needed in Xvfb openbox xprop xdpyinfo convert import identify; do
  command -v "$needed" >/dev/null || { echo "not installed: $needed" >&2; exit 2; }
done
quillet=$(cd "$(dirname "$quillet")" && pwd)/quillet
watch=$(cd "$(dirname "$watch")" && pwd)/pixel_watch
pic_source=$(cd "$build/bin/pic" && pwd)

# Files in memory when there is room, so that the disk does not time itself.
parent=${TMPDIR:-/tmp}
[[ -d /dev/shm && -w /dev/shm ]] && parent=/dev/shm
work=$(mktemp -d "$parent/quillet-start.XXXXXX")

XVFB_PID=""
WM_PID=""
stop_pid() {
  local pid=$1 i
  [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null || return 0
  kill -TERM "$pid" 2>/dev/null || true
  for ((i = 0; i < 50; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}
# shellcheck disable=SC2317 # called by the EXIT trap
cleanup() {
  stop_pid "$VIEWER_PID"
  stop_pid "$WM_PID"
  stop_pid "$XVFB_PID"
  rm -rf "$work"
}
VIEWER_PID=""
trap cleanup EXIT
trap 'exit 130' INT TERM

# Flat colour of the photo's centre; no window manager or viewer draws it.
flat=FF00FF
tolerance=24

# --- the desktop -----------------------------------------------------------
mkfifo "$work/displayfd"
Xvfb -screen 0 1920x1200x24 -nolisten tcp -noreset -displayfd 3 \
  3>"$work/displayfd" >"$work/xvfb.log" 2>&1 &
XVFB_PID=$!
display=""
read -r -t 20 display <"$work/displayfd" || true
[[ -n $display ]] || { echo "Xvfb did not start: $(tail -n 5 "$work/xvfb.log")" >&2; exit 2; }
export DISPLAY=":$display"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM XAUTHORITY
# The viewers' settings and caches stay in the work folder, neither read
# from nor written to the user's own.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_CACHE_HOME="$work/home/.cache"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

wait_for() { # SECONDS COMMAND...
  local deadline=$((SECONDS + $1))
  shift
  until "$@" >/dev/null 2>&1; do
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}
wait_for 20 xdpyinfo || { echo "the X server on $DISPLAY does not answer" >&2; exit 2; }
openbox --sm-disable >"$work/openbox.log" 2>&1 &
WM_PID=$!
wait_for 20 bash -c "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'" ||
  { echo "openbox did not start on $DISPLAY" >&2; exit 2; }

# --- the photos ------------------------------------------------------------
# make_photo WIDTH HEIGHT FILE: photo-like noise (plasma, enlarged so it has
# soft shapes, with grain on top) around a flat rectangle covering the middle
# 60 % of each side; quality 90 with 4:2:0 chroma, as cameras write.
make_photo() {
  local w=$1 h=$2 file=$3
  mkdir -p "$(dirname "$file")"
  convert -seed 7 -size "$((w / 4))x$((h / 4))" plasma:fractal -resize "${w}x${h}!" \
    -attenuate 0.6 +noise Gaussian \
    -fill "#$flat" -draw "rectangle $((w / 5)),$((h / 5)) $((w * 4 / 5 - 1)),$((h * 4 / 5 - 1))" \
    -sampling-factor 2x2 -quality 90 "$file"
}
# Each photo alone in its folder: a viewer that lists the folder at start
# finds the same one picture.
big=$work/photos/big/photo-6000x4000.jpg
small=$work/photos/small/photo-1000x1000.jpg
echo "making the photos..."
make_photo 6000 4000 "$big"
make_photo 1000 1000 "$small"

# --- starting the viewers --------------------------------------------------
# viewer_command VIEWER FILE: sets CMD to the command line that starts it.
viewer_command() {
  case $1 in
    quillet)
      local folder
      folder=$(mktemp -d "$work/program.XXXXXX")
      cp -r "$pic_source" "$folder/pic"
      CMD=(env QUILLET_PROGRAM_FOLDER="$folder" "$quillet" "$2")
      ;;
    qimgv) CMD=(qimgv "$2") ;;
    feh) CMD=(feh "$2") ;;
  esac
}

# flat_spot SHOT: "X Y", the middle of the flat rectangle on the screenshot.
# Eroding first drops lone grain pixels that happen to be near the colour.
flat_spot() {
  convert "$1" -alpha off -fuzz 8% -fill black +opaque "#$flat" -fill white -opaque "#$flat" \
    -morphology Erode Square:3 -bordercolor black -border 1 -format '%@' info: 2>/dev/null |
    awk -F'[x+]' '$1 > 0 && $2 > 0 { printf "%d %d\n", $3 - 1 + $1 / 2, $4 - 1 + $2 / 2 }'
}

# find_spot VIEWER FILE: an untimed start; prints where the flat colour shows.
find_spot() {
  local shot=$work/scout.png spot="" deadline
  viewer_command "$1" "$2"
  "${CMD[@]}" </dev/null >"$work/scout-$1.log" 2>&1 &
  VIEWER_PID=$!
  deadline=$((SECONDS + 30))
  while ((SECONDS < deadline)); do
    sleep 0.5
    import -window root "$shot" 2>/dev/null || continue
    spot=$(flat_spot "$shot")
    [[ -n $spot ]] && break
  done
  if [[ -n $spot ]]; then
    # Once more after the window manager has surely placed the window.
    sleep 1
    import -window root "$shot" && spot=$(flat_spot "$shot")
  fi
  stop_pid "$VIEWER_PID"
  VIEWER_PID=""
  sleep 0.5
  [[ -n $spot ]] || {
    echo "$1 did not show $(basename "$2") within 30 s; its output:" >&2
    tail -n 20 "$work/scout-$1.log" >&2
    return 1
  }
  echo "$spot"
}

viewers=(quillet qimgv feh)
photos=(big small)
declare -A file=([big]=$big [small]=$small) spot ms kb failed

for photo in "${photos[@]}"; do
  for viewer in "${viewers[@]}"; do
    spot[$photo.$viewer]=$(find_spot "$viewer" "${file[$photo]}") || exit 1
  done
done

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
echo "timing $runs starts of each viewer on each photo..."
for ((run = 1; run <= runs; run++)); do
  for photo in "${photos[@]}"; do
    for viewer in "${viewers[@]}"; do
      key=$photo.$viewer
      read -r x y <<<"${spot[$key]}"
      viewer_command "$viewer" "${file[$photo]}"
      if out=$("$watch" --x "$x" --y "$y" --rgb "$flat" --tolerance "$tolerance" \
        --timeout 10000 --settle 300 -- "${CMD[@]}" 2>"$work/watch.err" </dev/null); then
        ms[$key]+="$(awk '$1 == "start_to_picture_ms" { print $2 }' <<<"$out") "
        kb[$key]+="$(awk '$1 == "resident_kb" { print $2 }' <<<"$out") "
      else
        failed[$key]=$((${failed[$key]:-0} + 1))
        echo "run $run, $viewer on the $photo photo: $(tail -n 1 "$work/watch.err")" >&2
      fi
      sleep 0.3 # the closed window's place is repainted before the next start
    done
  done
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

# median VALUES...: the middle value (the mean of the two middle ones).
median() {
  printf '%s\n' "$@" | awk NF | sort -g | awk '{ v[NR] = $1 } END {
    if (NR == 0) { print "nan"; exit }
    if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
range() { printf '%s\n' "$@" | awk NF | sort -g | awk 'NR == 1 { lo = $1 } { hi = $1 } END { print lo "-" hi }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }

echo
echo "machine: $(nproc) cores, $(awk -F: '/model name/ { print $2; exit }' /proc/cpuinfo | sed 's/^ *//')"
echo "load average (1, 5, 15 min) before the timed runs: $load_before; after: $load_after"
echo "screen 1920 x 1200 on Xvfb with openbox; median of $runs starts; memory is VmRSS"
echo "300 ms after the picture showed; MB = 1024 kB"
status=0
declare -A med_ms med_mb
for photo in "${photos[@]}"; do
  read -r w h < <(identify -format '%w %h\n' "${file[$photo]}")
  echo
  echo "photo $w x $h, $(($(stat -c %s "${file[$photo]}") / 1024)) KiB JPEG:"
  printf '  %-8s %10s %15s %12s %6s %s\n' viewer start_ms "(range)" resident_MB failed "watched at"
  for viewer in "${viewers[@]}"; do
    key=$photo.$viewer
    # shellcheck disable=SC2086 # the values are separate words
    med_ms[$key]=$(median ${ms[$key]:-})
    mbs=()
    for v in ${kb[$key]:-}; do mbs+=("$(awk -v k="$v" 'BEGIN { printf "%.1f", k / 1024 }')"); done
    med_mb[$key]=$(median "${mbs[@]}")
    # shellcheck disable=SC2086
    printf '  %-8s %10.1f %15s %12.1f %6s %s\n' "$viewer" "${med_ms[$key]}" \
      "($(range ${ms[$key]:-}))" "${med_mb[$key]}" "${failed[$key]:-0}" "${spot[$key]/ /,}"
    [[ -z ${failed[$key]:-} ]] || status=1
  done
  for other in feh qimgv; do
    printf '  quillet / %-6s start %s x, memory %s x\n' "$other" \
      "$(ratio "${med_ms[$photo.quillet]}" "${med_ms[$photo.$other]}")" \
      "$(ratio "${med_mb[$photo.quillet]}" "${med_mb[$photo.$other]}")"
  done
done
exit "$status"
