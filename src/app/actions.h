#pragma once

#include <string>
#include <vector>

#include "core/program.h"

// The one table of what the user can do to the picture window. The main
// menu, the key handlers, the menu icons and the help guide all read it, so a
// key and its menu entry cannot drift apart.
namespace quillet::app {

using core::Program;

enum class ActionId {
  // The picture window's own key, tested before the key handler.
  CloseWindow,
  // Keys, in the order the key handler tests them.
  ToggleFrame,
  RestorePicture,
  ToggleFreeMove,
  CaptureRegion,
  DoodleByKey,
  InfoLabel,
  ClickThroughByKey,
  Transparency,
  TextNote,
  RatioLock,
  OpenPicture,
  HidePicture,
  Narrow,
  Widen,
  FitToScreen,
  ShortcutOverlay,
  Avoidance,
  Help,
  CloseProgram,
  Topmost,
  AlphaDigit,
  PreviousPicture,
  NextPicture,
  FreeRotate,
  Nudge,
  Slideshow,
  ZoomInByTwo,
  ZoomOutByTwo,
  MirrorHorizontal,
  MirrorVertical,
  MirrorDiagonal,
  GrayFromKey,
  // The menu's own entries.
  Mirror,
  Rotate,
  RotateRightAngle,
  RotateByAngle,
  Gray2,
  Gray4,
  Gray8,
  Gray16,
  Gray32,
  Gray64,
  Gray128,
  GrayCustom,
  GrayRestore,
  RatioMode,
  Doodle,
  ClickThrough,
  // Releases only.
  AltRelease,
};

// Which modifier sets a key binding accepts (Ctrl 1, Shift 2, Alt 4).
enum class Held { Any, Nothing, Ctrl, Alt, NotAlt };

struct KeyBinding {
  int code;
  Held held = Held::Any;

  bool matches(int key, int modifiers) const;
};

// When a key runs an action: in the key handler with the others, or there
// only after the picture box has been pulled against the window's edges and
// only when it is as wide as the window (no local zoom); or before the key
// handler and instead of it, for the window's own keys (Esc closes it).
enum class When { WithKey, WholePicture, InsteadOfKeys };

// The icon beside a menu entry: one number of the menu's icon set, or two
// that tell whether a mode is on.
struct MenuIcon {
  int number = 0;  // 0: none; for a mode, the icon while it is on
  int whileOff = 0;
  bool (*on)(const Program& p) = nullptr;

  int shown(const Program& p) const { return on && !on(p) ? whileOff : number; }
};

struct Action {
  ActionId id;
  // The menu entry's caption; nullptr for an action without one.
  const char* caption = nullptr;
  // For the help guide, what an action without a caption does.
  const char* summary = nullptr;
  std::vector<KeyBinding> keys = {};
  // Runs the action; `key` is the key that triggered it (0 from the menu).
  void (*run)(Program& p, int key) = nullptr;
  MenuIcon icon = {};
  When when = When::WithKey;
  // The menu entry runs the whole key handler with the first key, so that
  // what every key does afterwards follows it too.
  bool menuRunsKey = false;
  // Released keys that end what the action showed, and how.
  std::vector<int> releaseKeys = {};
  void (*release)(Program& p) = nullptr;
};

// Every action, in the order the key handler tests them.
const std::vector<Action>& actions();
const Action& action(ActionId id);

// Runs an action as its menu entry does.
void runFromMenu(Program& p, ActionId id);

}  // namespace quillet::app
