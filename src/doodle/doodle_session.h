#pragma once

#include <memory>

#include "doodle/doodle_state.h"
#include "doodle/stroke_engine.h"
#include "platform/ui/widgets.h"

namespace quillet::core {
class Program;
}

// One opening of the doodle window: the windows it runs on, what the colour
// window shows, and the stroke engine drawing on the canvas. It lives as
// long as the handlers of its windows, which hold it.
namespace quillet::doodle {

inline constexpr char kDoodleWindowKey[] = "doodle";
inline constexpr char kColourWindowKey[] = "colour";
inline constexpr char kCanvasName[] = "画板1";

struct Session {
  Session(core::Program& program, ui::Window& window, ui::CanvasBox& board, bool isModal);
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  core::Program& p;
  ui::Window& doodle;
  ui::CanvasBox& canvas;
  // Opened from the menu: the picture window waits until this one closes.
  bool modal;
  ColourPanel panel;
  DoodleLook look;
  StrokeEngine engine;
  // Set while the panel is copied onto the colour window's controls, whose
  // change handlers must not take the copy for the user's typing.
  bool mirroring = false;
  // Set once the window is closing: late events find nothing to act on.
  bool closed = false;
};

// Whether the session's windows are still the program's open doodle.
bool isOpen(const Session& s);

// After every event the engine handled: the damaged part of the canvas is
// repainted, a change of look reaches the doodle window, and the colour
// window shows the panel.
void settle(Session& s);

// A handler of the doodle's windows: `work` runs on the session while the
// doodle is open and not being mirrored, and what it changed is shown after.
template <class Work>
auto onSession(const std::shared_ptr<Session>& s, Work work) {
  return [s, work](auto... args) {
    if (!isOpen(*s) || s->mirroring) return;
    work(*s, args...);
    if (isOpen(*s)) settle(*s);
  };
}

}  // namespace quillet::doodle
