#include "app/keys.h"

#include <algorithm>

#include "app/actions.h"
#include "core/geometry.h"
#include "core/main_controls.h"

namespace quillet::app {

namespace {

bool bound(const Action& a, int key, int modifiers) {
  return std::any_of(a.keys.begin(), a.keys.end(),
                     [&](const KeyBinding& b) { return b.matches(key, modifiers); });
}

// Runs every action of `when` bound to the key, in table order; false once
// the main window is gone, which must not be touched again.
bool runBound(core::Program& p, When when, int key, int modifiers) {
  for (const Action& a : actions()) {
    if (a.when != when || !a.run || !bound(a, key, modifiers)) continue;
    a.run(p, key);
    if (!p.main()) return false;
  }
  return true;
}

}  // namespace

void onMainKeyDown(core::Program& p, int key, int modifiers) {
  if (!p.main()) return;
  if (!runBound(p, When::WithKey, key, modifiers)) return;
  core::clampPicture(p);
  if (core::pictureBox(p).width() != p.main()->width()) return;
  runBound(p, When::WholePicture, key, modifiers);
}

void onMainWindowKey(core::Program& p, int key, int modifiers) {
  for (const Action& a : actions()) {
    if (a.when == When::InsteadOfKeys && a.run && bound(a, key, modifiers)) {
      a.run(p, key);
      return;
    }
  }
  onMainKeyDown(p, key, modifiers);
}

void onMainKeyUp(core::Program& p, int key, int /*modifiers*/) {
  for (const Action& a : actions()) {
    if (!p.main()) return;
    if (a.release &&
        std::find(a.releaseKeys.begin(), a.releaseKeys.end(), key) != a.releaseKeys.end()) {
      a.release(p);
    }
  }
}

}  // namespace quillet::app
