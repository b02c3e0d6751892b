#!/bin/sh
# Fills BUILD_DIR/fuzz-corpus/{bmp,jpeg} with seeds: small pictures of every
# kind written by fuzz_seeds, plus the public test pictures when present
# (QUILLET_TESTDATA, else the testdata folder beside the checkout).
set -eu
if [ $# -ne 1 ]; then
  echo "usage: $0 BUILD_DIR" >&2
  exit 2
fi
build=$1
here=$(cd "$(dirname "$0")" && pwd)
corpus=$build/fuzz-corpus
"$build/bin/fuzz_seeds" "$corpus"

testdata=${QUILLET_TESTDATA:-$here/../../shared/testdata}
if [ -d "$testdata/bmpsuite" ]; then
  for file in "$testdata"/bmpsuite/*/*.bmp "$testdata"/jpeg/*.bmp; do
    [ -f "$file" ] && cp "$file" "$corpus/bmp/"
  done
fi
if [ -d "$testdata/jpeg" ]; then
  for file in "$testdata"/jpeg/*.jpg; do
    [ -f "$file" ] && cp "$file" "$corpus/jpeg/"
  done
fi
echo "seeds: $(ls "$corpus/bmp" | wc -l) BMP, $(ls "$corpus/jpeg" | wc -l) JPEG in $corpus"
