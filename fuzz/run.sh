#!/bin/sh
# Runs every fuzz target for SECONDS from fresh seeds; exits non-zero if any
# of them found a crash (the input is kept under BUILD_DIR/fuzz-artifacts).
set -eu
if [ $# -ne 2 ]; then
  echo "usage: $0 BUILD_DIR SECONDS" >&2
  exit 2
fi
build=$1
seconds=$2
here=$(cd "$(dirname "$0")" && pwd)
"$here/make-seeds.sh" "$build"

# The seed folders each target starts from.
seeds() {
  case $1 in
    gray) echo "$build/fuzz-corpus/bmp $build/fuzz-corpus/jpeg" ;;
    transform) echo "$build/fuzz-corpus/bmp" ;;
    canvas) ;;
    *) echo "$build/fuzz-corpus/$1" ;;
  esac
}

status=0
for target in bmp jpeg gray transform canvas; do
  work=$build/fuzz-corpus/$target-found
  artifacts=$build/fuzz-artifacts
  mkdir -p "$work" "$artifacts"
  echo "== fuzz_$target for ${seconds}s"
  # shellcheck disable=SC2046 # the seed folders are separate arguments
  if ! "$build/bin/fuzz_$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
      -print_final_stats=1 -artifact_prefix="$artifacts/$target-" \
      "$work" $(seeds "$target"); then
    echo "fuzz_$target: FAILED, see $artifacts" >&2
    status=1
  fi
done
exit $status
