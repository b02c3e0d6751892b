#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/menu.h"
#include "platform/ui/widgets.h"

namespace quillet::ui {

struct ScreenSize {
  int width = 0;
  int height = 0;
};

// One monitor of the desktop, in the windows' geometry (desktop coordinates:
// a monitor left of or above the primary one may start at negative values),
// and how many device pixels make one such pixel on it.
struct Monitor {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  double pixelRatio = 1.0;
  bool primary = false;
  bool operator==(const Monitor&) const = default;
};

// The whole screen as photographed: a BMP file image in device pixels, and how
// many device pixels make one pixel of the windows' geometry.
struct ScreenShot {
  PictureBytes bmp;
  double pixelRatio = 1.0;
};

struct FileDialogResult {
  bool confirmed = false;
  std::string path;
};

// The window system under the widget model: the Qt backend in the program,
// an in-memory one in the tests. Dialogs block until answered.
class Backend {
 public:
  virtual ~Backend() = default;

  // Called once when a model window is constructed; returns its mirror.
  virtual std::unique_ptr<WindowPeer> createPeer(Window& window) = 0;
  // Every monitor of the desktop, the primary one among them; never empty
  // while a screen exists.
  virtual std::vector<Monitor> monitors() = 0;

  // `filter` is "description|pattern|description|pattern...".
  virtual FileDialogResult openFileDialog(Window* owner, const std::string& title,
                                          const std::string& filter, const std::string& preset) = 0;
  // Asks for a file to write; `defaultSuffix` (such as "jpg") is added to a
  // name typed without one.
  virtual FileDialogResult saveFileDialog(Window* owner, const std::string& title,
                                          const std::string& filter,
                                          const std::string& defaultSuffix) = 0;
  virtual void messageBox(Window* owner, const std::string& text, const std::string& caption) = 0;
  // One-line input box; nullopt when cancelled.
  virtual std::optional<std::string> inputBox(Window* owner, const std::string& prompt,
                                              const std::string& title,
                                              const std::string& initial) = 0;
  // Shows the menu at the pointer; returns the chosen item (a leaf, or a
  // submenu's own entry when it has an action), or nullptr.
  virtual const MenuItem* popupMenu(Window& owner, const Menu& menu) = 0;
  // The window follows the pointer until the left button is released.
  virtual void startSystemMove(Window& window) = 0;

  // Shows `window` and runs it modally: the other windows take no input, and
  // the call returns once endModal(window) has been called.
  virtual void runModal(Window& window) = 0;
  // Called by a handler of a window in runModal: its run ends after the handler.
  virtual void endModal(Window& window) = 0;

  // Photographs the whole screen now; no bytes when the screen cannot be read.
  virtual ScreenShot grabScreen() = 0;

  // Prints `text` as plain text through the system's print dialog, `title`
  // naming the job; false when the user cancelled or nothing could be printed.
  virtual bool printText(Window* owner, const std::string& title, const std::string& text) = 0;

  // A whole number from `low` to `high`, both included.
  virtual int randomNumber(int low, int high) = 0;

  // A hint: the picture files at `paths` are likely to be shown next, the
  // first of them first, about `boxWidth` pixels wide; a backend may read and
  // decode them ahead of time.
  virtual void preparePictures(const std::vector<std::string>& /*paths*/, int /*boxWidth*/) {}

  // The window's own content as it is on screen, as BMP file bytes at the
  // window's size; nullptr when the window system cannot provide it.
  virtual PictureBytes snapshot(Window& /*window*/) { return nullptr; }
  // The same in the device pixels of its screen, with their number per
  // window pixel, so that a copy of it stays sharp on a high-density screen.
  virtual ScreenShot photographWindow(Window& window) { return {snapshot(window), 1.0}; }

  // Runs `work` once control is back in the event loop running now, when the
  // handler running now and every handler that called it have returned; a
  // loop entered meanwhile (a modal window, a dialog, a menu) does not run it.
  // Work still waiting when the loop ends may run late or never; a backend
  // without an event loop of its own never runs it.
  virtual void runLater(std::function<void()> /*work*/) {}

  // Ends the message loop once the running handler returns; the program then
  // destroys its windows and saves its state.
  virtual void quit(int exitCode) = 0;
  virtual bool quitRequested() const = 0;
  // Tells the user something that needs no answer, where a program started
  // from a terminal says such things.
  virtual void report(const std::string& message) = 0;

  // Starts an executable without waiting for it; false when it could not start.
  virtual bool startProcess(const std::string& path) = 0;
};

}  // namespace quillet::ui
