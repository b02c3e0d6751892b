#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/global_state.h"
#include "platform/ui/backend.h"
#include "platform/ui/widgets.h"

namespace quillet::core {

// Where the program lives: its folder (state files, pic/, the work BMP are
// joined to it) and its executable's file name (started again on restart).
struct Environment {
  std::string programFolder = {};
  std::string executableName = {};
  // Where the executable itself lies when the program folder was moved
  // elsewhere (tests do); empty means the program folder.
  std::string executableFolder = {};
  // The picture shown when there is no earlier state; empty means the
  // program folder's "pic/1.jpg".
  std::string defaultPicture = {};
  // A picture named when the program was started, shown instead of the
  // remembered one; empty for none.
  std::string startPicture = {};
};

// The running program: the state record, the host window, the main window
// and the secondary windows. Handlers and operations of every subsystem take
// it by reference. What the windows look like and which handlers they carry
// is decided above the core, by overriding the construction hooks.
class Program {
 public:
  Program(ui::Backend& backend, Environment env);
  virtual ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Creates the host window and, from its creation handler, the main window.
  void start();
  // Ends the run as the end of the process does: destroys the main window
  // (which saves the state files), then the host window, then releases the
  // state. Safe to call more than once; a derived destructor must call it.
  void shutdown();
  // Writes the state files now, as ending would; the program goes on. Also
  // for an abnormal end with a handler still running: touches no window.
  void saveState();

  // Ends the process with `code`: the message loop stops after the running
  // handler and shutdown() follows.
  void endProcess(int code);

  ui::Backend& backend() { return backend_; }
  const Environment& env() const { return env_; }
  // The program folder joined with a relative name such as "上次文件.txt".
  std::string programPath(const std::string& relative) const;
  std::string defaultPicturePath() const;
  // The picture named at the start, once: a window made again later shows
  // the remembered picture as usual.
  std::string takeStartPicture();

  GlobalState& g() { return *globals_; }
  const GlobalState& g() const { return *globals_; }
  ui::Window* host() { return host_.get(); }
  ui::Window* main() { return main_.get(); }
  const ui::Window* main() const { return main_.get(); }

  // Main window lifecycle. Destroying runs the about-to-be-destroyed handler
  // at once; the model object itself is kept until no handler of it can be
  // running any more, and freed when the event loop takes its next event.
  void createMainWindow();
  void destroyMainWindow();
  // Runs the main window's key-down handler as the key would, for the
  // features that page through the folder as Page Up and Page Down do.
  void pressMainKey(int key, int modifiers);

  // Takes the host window built by createHostWindow().
  ui::Window& installHost(std::unique_ptr<ui::Window> host);

  // Secondary windows (help, slideshow, doodle ...), one per key; closing
  // keeps the model object until no handler of it can be running.
  ui::Window* secondary(const std::string& key) const;
  ui::Window& openSecondary(const std::string& key, std::unique_ptr<ui::Window> window);
  void closeSecondary(const std::string& key);

 protected:
  // Called by start(): builds the host window and installs it; its creation
  // handler creates the main window.
  virtual void createHostWindow() = 0;
  // Called by createMainWindow() on a fresh model window: lays it out and
  // binds its handlers.
  virtual void buildMainWindow(ui::Window& window) = 0;
  // Called once the new main window is built: fills it (the creation handler).
  virtual void mainWindowCreated() = 0;
  // Called by saveState(): writes whatever the state files hold.
  virtual void writeStateFiles() = 0;

 private:
  // Keeps a closed window until the handlers that may refer to it are done.
  void retire(std::unique_ptr<ui::Window> window);

  ui::Backend& backend_;
  Environment env_;
  std::unique_ptr<GlobalState> globals_;
  std::unique_ptr<ui::Window> host_;
  std::unique_ptr<ui::Window> main_;
  std::vector<std::pair<std::string, std::unique_ptr<ui::Window>>> secondary_;
  std::vector<std::unique_ptr<ui::Window>> retired_;
  bool shutDown_ = false;
  // Gone with the program, so that freeing asked of the backend and run late
  // knows there is nothing left to free.
  std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};

}  // namespace quillet::core
