# check-layers passes a tree whose includes run one way and fails each tree
# that breaks one rule, naming the offending line.
#   bash bad_trees.sh <path to check-layers>
set -uo pipefail
check=${1:?usage: $0 <check-layers>}
work=$(mktemp -d "${TMPDIR:-/tmp}/quillet-layers.XXXXXX")
trap 'rm -rf "$work"' EXIT
failed=0

# A tree with every folder and one file per layer, each including what it may.
good_tree() {
  local tree=$1 f
  mkdir -p "$tree"/{app,core,platform/ui,platform/image,platform/qt}
  for f in viewer ops notes help slideshow capture doodle; do
    mkdir -p "$tree/$f"
    printf '#include "core/program.h"\n#include "platform/ui/widgets.h"\n' >"$tree/$f/$f.cpp"
  done
  printf '#include "viewer/viewer.h"\n#include "ops/ops.h"\n' >"$tree/app/wiring.cpp"
  printf '#include "platform/files.h"\n#include "platform/image/picture.h"\n' >"$tree/core/program.cpp"
  printf '#include "platform/image/picture.h"\n#include "platform/files.h"\n' >"$tree/platform/ui/widgets.cpp"
  printf '#include <filesystem>\n#include <fstream>\n#include "platform/image/bytes.h"\n' \
    >"$tree/platform/image/picture.cpp"
  printf '#include <pwd.h>\n#include <iconv.h>\n#include <cstdlib>\nconst char* h = std::getenv("HOME");\n' \
    >"$tree/platform/files.cpp"
  printf '#include <QtWidgets/QWidget>\n#include "platform/ui/widgets.h"\n#include "platform/files.h"\n' \
    >"$tree/platform/qt/window.cpp"
  printf '#include <QtWidgets/QApplication>\n#include "platform/qt/window.h"\n#include "app/wiring.h"\n' \
    >"$tree/main.cpp"
}

# expect_failure WHAT FILE LINE...: the good tree with FILE made of LINEs fails.
expect_failure() {
  local what=$1 file=$2 tree
  shift 2
  tree=$(mktemp -d "$work/tree.XXXXXX")
  cp -r "$work/good/." "$tree"
  mkdir -p "$(dirname "$tree/$file")"
  printf '%s\n' "$@" >"$tree/$file"
  if out=$(bash "$check" "$tree" 2>&1); then
    echo "FAIL: check-layers passed $what"
    failed=1
  elif ! grep -q "src/$file:" <<<"$out"; then
    echo "FAIL: check-layers did not name $file for $what: $out"
    failed=1
  fi
}

good_tree "$work/good"
if ! out=$(bash "$check" "$work/good" 2>&1); then
  echo "FAIL: check-layers refused a tree that keeps every rule: $out"
  failed=1
fi

expect_failure "a codec including the widget model" platform/image/picture.cpp '#include "platform/ui/widgets.h"'
expect_failure "a codec including plain platform code" platform/image/picture.cpp '#include "platform/files.h"'
expect_failure "the widget model including the Qt backend" platform/ui/widgets.cpp '#include "platform/qt/window.h"'
expect_failure "plain platform code including the widget model" platform/files.cpp '#include "platform/ui/widgets.h"'
expect_failure "the core including a feature" core/program.cpp '#include "viewer/viewer.h"'
expect_failure "a feature including another" ops/ops.cpp '#include "notes/notes.h"'
expect_failure "a feature including the wiring" help/help.cpp '#include "app/guide.h"'
expect_failure "the wiring including the Qt backend" app/wiring.cpp '#include "platform/qt/window.h"'
expect_failure "Qt in the core" core/program.cpp '#include <QtCore/QString>'
expect_failure "pwd.h in a feature" capture/capture.cpp '#include <pwd.h>'
expect_failure "iconv.h in the core" core/program.cpp '#include <iconv.h>'
expect_failure "<filesystem> in a feature" viewer/viewer.cpp '#include <filesystem>'
expect_failure "<fstream> in the wiring" app/wiring.cpp '#include <fstream>'
expect_failure "getenv in a feature" notes/notes.cpp '#include <cstdlib>' 'const char* home = std::getenv("HOME");'
expect_failure "unistd.h in the core" core/program.cpp '#include <unistd.h>'
missing=$(mktemp -d "$work/tree.XXXXXX")
cp -r "$work/good/." "$missing"
rm -r "$missing/doodle"
if bash "$check" "$missing" >/dev/null 2>&1; then
  echo "FAIL: check-layers passed a tree without the doodle folder"
  failed=1
fi

((failed == 0)) && echo "check-layers: every bad tree refused"
exit $failed
