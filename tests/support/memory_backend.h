#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/backend.h"

namespace quillet::testing {

// The window system as a test sees it: windows are model objects only, and
// dialogs and menus are answered from scripts set up beforehand. An
// unscripted dialog is cancelled, an unscripted menu dismissed.
class MemoryBackend : public ui::Backend {
 public:
  struct DialogCall {
    std::string title, filter, preset;
    bool save = false;
  };
  struct MessageCall {
    std::string text, caption;
  };

  std::unique_ptr<ui::WindowPeer> createPeer(ui::Window& window) override;
  // The scripted layout, or one monitor of `screen`'s size at the origin.
  std::vector<ui::Monitor> monitors() override {
    if (!monitorLayout.empty()) return monitorLayout;
    return {{0, 0, screen.width, screen.height, 1.0, true}};
  }
  ui::FileDialogResult openFileDialog(ui::Window* owner, const std::string& title,
                                      const std::string& filter,
                                      const std::string& preset) override;
  // Answered from the same script as the open dialog; `preset` records the
  // default suffix.
  ui::FileDialogResult saveFileDialog(ui::Window* owner, const std::string& title,
                                      const std::string& filter,
                                      const std::string& defaultSuffix) override;
  void messageBox(ui::Window* owner, const std::string& text, const std::string& caption) override;
  std::optional<std::string> inputBox(ui::Window* owner, const std::string& prompt,
                                      const std::string& title,
                                      const std::string& initial) override;
  const ui::MenuItem* popupMenu(ui::Window& owner, const ui::Menu& menu) override;
  ui::PictureBytes snapshot(ui::Window& window) override;
  void startSystemMove(ui::Window& window) override { systemMoves.push_back(window.name()); }
  void runModal(ui::Window& window) override;
  void endModal(ui::Window& window) override { endedModal = &window; }
  void runLater(std::function<void()> work) override { later.push_back(std::move(work)); }
  ui::ScreenShot grabScreen() override;
  bool printText(ui::Window* owner, const std::string& title, const std::string& text) override;
  int randomNumber(int low, int high) override;
  void quit(int exitCode) override {
    quitCode = exitCode;
    quitCalls++;
  }
  bool quitRequested() const override { return quitCalls > 0; }
  void preparePictures(const std::vector<std::string>& paths, int boxWidth) override {
    if (!paths.empty()) prepared.push_back({paths.front(), boxWidth});
    preparedLists.push_back(paths);
  }
  void report(const std::string& message) override { reports.push_back(message); }
  bool startProcess(const std::string& path) override {
    startedProcesses.push_back(path);
    return true;
  }

  // One step of a modal run, in the window's coordinates: delivered to the
  // control under the point, as a toolkit would, or to the window itself.
  struct ModalStep {
    enum Kind { Press, Move, Release, Key, Look } kind;
    int x = 0, y = 0;
    int key = 0, modifiers = 0;
    // For Look: runs with the window as it is at that point of the run.
    std::function<void(ui::Window&)> look = nullptr;
  };
  static ModalStep press(int x, int y) { return {ModalStep::Press, x, y}; }
  static ModalStep move(int x, int y) { return {ModalStep::Move, x, y}; }
  static ModalStep release(int x, int y) { return {ModalStep::Release, x, y}; }
  static ModalStep key(int code, int modifiers = 0) {
    return {ModalStep::Key, 0, 0, code, modifiers};
  }
  static ModalStep look(std::function<void(ui::Window&)> check) {
    return {ModalStep::Look, 0, 0, 0, 0, std::move(check)};
  }

  // The event loop's next turn, once the handlers a test called have
  // returned: runs the work asked for so far, and any work it asks for.
  void nextTurn();
  std::deque<std::function<void()>> later;
  // Model windows not yet destroyed.
  int liveWindows = 0;

  // The clock the timers run on, in milliseconds from the start.
  void advance(int milliseconds);
  struct Scheduled {
    ui::Timer* timer;
    const void* owner;
    long long due;
  };
  void schedule(ui::Timer& timer, const void* owner);
  void forgetTimers(const void* owner);
  long long now = 0;
  std::vector<Scheduled> timers;

  // Scripts.
  // What the user does in the next window run modally; a run without a
  // script, or whose script ends before the window ends its run, returns.
  void whenModal(std::vector<ModalStep> steps) { modalScripts.push_back(std::move(steps)); }
  void nextRandom(int value) { randomAnswers.push_back(value); }
  // Runs while a file dialog is open, as the user takes their time.
  std::function<void()> whileDialogOpen;
  void answerOpenDialog(std::string path) { dialogAnswers.push_back({true, std::move(path)}); }
  void cancelOpenDialog() { dialogAnswers.push_back({false, {}}); }
  void answerInput(std::string text) { inputAnswers.push_back(std::move(text)); }
  void cancelInput() { inputAnswers.push_back(std::nullopt); }
  // Choose an entry by its caption path, e.g. {"镜像翻转", "水平"}.
  void chooseMenu(std::vector<std::string> captions) { menuAnswers.push_back(std::move(captions)); }

  ui::ScreenSize screen{1280, 1024};
  std::vector<ui::Monitor> monitorLayout;
  std::deque<ui::FileDialogResult> dialogAnswers;
  std::deque<std::vector<std::string>> menuAnswers;
  std::deque<std::optional<std::string>> inputAnswers;
  std::vector<MessageCall> inputs;  // prompt, title
  std::vector<DialogCall> dialogs;
  std::vector<MessageCall> messages;
  std::vector<std::string> menusShown;  // titles
  ui::Menu lastMenu;                    // the last menu shown, as it was shown
  std::vector<std::string> systemMoves;
  std::vector<std::string> startedProcesses;
  std::vector<std::string> reports;
  // preparePictures hints: the first path of each, and each whole list.
  std::vector<std::pair<std::string, int>> prepared;
  std::vector<std::vector<std::string>> preparedLists;
  std::deque<std::vector<ModalStep>> modalScripts;
  std::vector<std::string> modalRuns;  // names of the windows run modally
  ui::Window* endedModal = nullptr;
  // The screen as grabScreen photographs it; a test pattern of the screen's
  // size when left empty.
  ui::ScreenShot screenShot;
  int screenShots = 0;
  std::deque<int> randomAnswers;
  struct PrintCall {
    std::string title, text;
  };
  std::vector<PrintCall> printed;
  bool printerAnswers = true;
  int snapshots = 0;
  int quitCalls = 0;
  int quitCode = -1;
};

}  // namespace quillet::testing
