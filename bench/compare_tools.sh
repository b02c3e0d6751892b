#!/usr/bin/env bash
# Times every quillet-picture operation against the libvips and libjpeg-turbo
# command that does the same job, on the same generated 6000 x 3940 photo
# (the benchmarks' own, quality 90), and prints each ratio with its target,
# the time against a decode alone, and the peak resident memory against the
# size of the result. Files go to a fresh folder in memory (/dev/shm) when
# there is one, so that the disk does not time itself.
#
# usage: bench/compare_tools.sh [BUILD_DIR [RUNS]]
#   BUILD_DIR  a build with quillet-picture and photo_file in bin/ (default build)
#   RUNS       timed runs of each command, after one warm-up (default 9)
# Needs hyperfine, vips (libvips-tools), djpeg (libjpeg-turbo-progs) and GNU
# time at /usr/bin/time. Exits 1 when a figure misses its target.
set -euo pipefail

build=${1:-build}
runs=${2:-9}
tool=$build/bin/quillet-picture
maker=$build/bin/photo_file
for needed in "$tool" "$maker"; do
  [ -x "$needed" ] || { echo "not built: $needed" >&2; exit 2; }
done
bin=$(cd "$build/bin" && pwd)
for needed in hyperfine vips djpeg; do
  command -v "$needed" >/dev/null || { echo "not installed: $needed" >&2; exit 2; }
done
[ -x /usr/bin/time ] || { echo "not installed: GNU time (/usr/bin/time)" >&2; exit 2; }

parent=${TMPDIR:-/tmp}
[ -d /dev/shm ] && [ -w /dev/shm ] && parent=/dev/shm
work=$(mktemp -d "$parent/quillet-compare.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
"$bin/photo_file" photo.jpg
# The four-level table for the libvips gray pipeline: index = value / 64.
vips identity lut0.v
vips linear lut0.v lut.v 0.015625 0 --uchar

# Median wall time in milliseconds of a shell command line.
median() {
  hyperfine --warmup 1 --runs "$runs" --export-csv times.csv "$1" >/dev/null 2>&1
  awk -F, 'NR == 2 { printf "%.1f", $4 * 1000 }' times.csv
}

# Peak resident memory in MB of a command run once.
peak() {
  /usr/bin/time -f %M -o rss.txt "$@" >/dev/null 2>&1
  awk '{ printf "%.1f", $1 / 1024 }' rss.txt
}

q=$bin/quillet-picture
decode=$(median "djpeg -ppm -outfile /dev/null photo.jpg")
echo "machine: $(nproc) cores, $(awk -F: '/model name/ { print $2; exit }' /proc/cpuinfo | sed 's/^ *//')"
echo "photo: 6000 x 3940, $(($(stat -c %s photo.jpg) / 1024)) KiB; decode alone (djpeg -ppm to /dev/null): $decode ms"
echo

status=0
# within VALUE LIMIT: OK or OVER.
within() {
  if awk -v v="$1" -v l="$2" 'BEGIN { exit !(v <= l) }'; then echo OK; else echo OVER; fi
}

printf '%-9s %8s %8s %6s %-6s %-34s %8s %-4s %7s %7s %6s %-4s\n' \
  operation ours_ms other_ms ratio "" other x_decode "" peak_MB out_MB x_out ""
# compare NAME TARGET MEMORY OURS OUTPUT OTHER_LABEL OTHER_COMMAND
# TARGET: our time / theirs; MEMORY: our peak memory / the output's size.
compare() {
  local name=$1 target=$2 memory=$3 ours=$4 output=$5 label=$6 other=$7
  local ours_ms other_ms ratio x_decode peak_mb out_mb x_out
  ours_ms=$(median "$q $ours")
  other_ms=$(median "$other")
  ratio=$(awk -v a="$ours_ms" -v b="$other_ms" 'BEGIN { printf "%.2f", a / b }')
  x_decode=$(awk -v a="$ours_ms" -v b="$decode" 'BEGIN { printf "%.2f", a / b }')
  # shellcheck disable=SC2086 # the operation's words are separate arguments
  peak_mb=$(peak "$q" $ours)
  out_mb=$(awk -v s="$(stat -c %s "$output")" 'BEGIN { printf "%.1f", s / 1048576 }')
  x_out=$(awk -v a="$peak_mb" -v b="$out_mb" 'BEGIN { printf "%.2f", a / b }')
  local verdicts=("$(within "$ratio" "$target")" "$(within "$x_decode" 2)" "$(within "$x_out" "$memory")")
  [[ " ${verdicts[*]} " == *" OVER "* ]] && status=1
  printf '%-9s %8s %8s %6s %-6s %-34s %8s %-4s %7s %7s %6s %-4s\n' "$name" "$ours_ms" \
    "$other_ms" "$ratio" "${verdicts[0]}" "$label" "$x_decode" "${verdicts[1]}" "$peak_mb" \
    "$out_mb" "$x_out" "${verdicts[2]}"
}

compare "flip h" 0.8 1.2 "flip h photo.jpg o.bmp" o.bmp "vips flip horizontal" \
  "vips flip photo.jpg v.v horizontal"
compare "quarter" 0.8 2.2 "quarter photo.jpg o.bmp" o.bmp "vips rot d90" \
  "vips rot photo.jpg v.v d90"
compare "rotate 30" 0.8 2.2 "rotate 30 000000 photo.jpg o.bmp" o.bmp "vips rotate 30 bilinear" \
  "vips rotate photo.jpg v.v 30 --interpolate bilinear"
compare "gray 4" 0.8 2 "gray 4 photo.jpg o.bmp" o.bmp "vips colourspace b-w + maplut" \
  "vips colourspace photo.jpg b.v b-w && vips maplut b.v v.v lut.v"
compare "to-bmp" 0.9 1.2 "to-bmp photo.jpg o.bmp" o.bmp "djpeg -bmp" \
  "djpeg -bmp -outfile d.bmp photo.jpg"
echo
echo "targets: ratio to the other tool 0.8 (djpeg 0.9), x_decode 2,"
echo "peak memory 1.2 x the result (gray 4: 2, quarter and rotate 30: 2.2)"
exit $status
