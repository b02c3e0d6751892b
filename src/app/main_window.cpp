#include "app/main_window.h"

#include "app/guide.h"
#include "app/keys.h"
#include "app/main_menu.h"
#include "core/geometry.h"
#include "core/main_controls.h"
#include "core/names.h"
#include "core/picture_files.h"
#include "core/screens.h"
#include "core/state_files.h"
#include "doodle/doodle_window.h"
#include "notes/text_note.h"
#include "platform/files.h"
#include "slideshow/slideshow.h"
#include "viewer/dropped_files.h"
#include "viewer/mouse.h"

namespace quillet::app {

namespace {

constexpr int kFirstLeft = 50, kFirstTop = 50, kFirstWidth = 345, kFirstHeight = 503;
constexpr std::uint32_t kPictureBackground = 0x606060;
constexpr int kInfoWidth = 180, kInfoHeight = 40;

void bindMouse(Program& p, ui::Window& window, ui::PictureBox& box) {
  box.onLeftDown = [&p](int, int, int) { viewer::onPictureLeftDown(p); };
  box.onRightDown = [&p](int, int, int) { popupMainMenu(p); };
  box.onMouseMove = [&p](int x, int y, int m) { viewer::onPictureMouseMove(p, x, y, m); };
  box.onDoubleClick = [&p](int x, int y, int m) { viewer::onPictureDoubleClick(p, x, y, m); };
  box.onLeftUp = [&p](int x, int y, int m) { viewer::onPictureLeftUp(p, x, y, m); };
  window.onRightDown = box.onRightDown;
  window.onWheel = [&p](int d, int m) { viewer::onMainWheel(p, d, m); };
  window.onFilesDropped = [&p](const std::vector<std::string>& paths) {
    viewer::onFilesDropped(p, paths);
  };
}

}  // namespace

void buildMainWindow(Program& p, ui::Window& w) {
  w.setBorder(ui::Window::Border::None);
  w.setTopmost(true);
  w.move(kFirstLeft, kFirstTop);
  w.setWidth(kFirstWidth);
  w.setHeight(kFirstHeight);

  auto& box = w.add<ui::PictureBox>(core::kPictureBox);
  box.setGeometry(0, 0, kFirstWidth, kFirstHeight + 1);
  box.setBorder(true);
  box.setBackground(kPictureBackground);

  auto& note = w.add<ui::EditBox>(core::kNoteBox);
  note.setGeometry(5, 5, 80, 48);
  note.setVisible(false);
  note.onChanged = [&p] { notes::onNoteChanged(p); };
  note.onKeyDown = [&p](int key, int modifiers) { notes::onNoteKeyDown(p, key, modifiers); };
  auto& info = w.add<ui::Label>(core::kInfoLabel);
  info.setGeometry(0, 0, kInfoWidth, kInfoHeight);
  info.setBackdrop(true);
  info.setVisible(false);
  auto& shortcuts = w.add<ui::Label>(core::kShortcutLabel);
  shortcuts.setText(shortcutOverlayText());
  shortcuts.setBackdrop(true);
  shortcuts.setVisible(false);

  // Bound after the first geometry: the design size is not a resize.
  w.onMoved = [&p] { onMainMoved(p); };
  w.onResized = [&p] { onMainResized(p); };
  w.onDestroying = [&p] { onMainDestroying(p); };
  w.onCloseRequest = [&p] { p.destroyMainWindow(); };
  w.onKeyDown = [&p](int key, int modifiers) { onMainWindowKey(p, key, modifiers); };
  w.onKeyUp = [&p](int key, int modifiers) { onMainKeyUp(p, key, modifiers); };
  bindMouse(p, w, box);
}

void onMainCreated(Program& p) {
  core::GlobalState& g = p.g();
  ui::Window& w = *p.main();

  g.programFileName = p.env().executableName;
  g.ratioLocked = 1;
  if (p.host()) p.host()->setVisible(false);
  g.mainWindowClosed = 0;

  g.plainExStyle = w.exStyle();
  g.layeredExStyle = g.plainExStyle | ui::Window::kLayeredBit;
  w.setExStyle(g.layeredExStyle);
  g.layeredOn = 1;

  w.setAlpha(g.alphaLevel != 0 ? g.alphaLevel : 255);

  if (std::string named = p.takeStartPicture(); !named.empty()) {
    g.currentPicturePath = std::move(named);
  } else if (files::exists(p.programPath(core::kLastFileRecord))) {
    g.currentPicturePath = core::readLastFileRecord(p);
  } else {
    g.currentPicturePath = p.defaultPicturePath();
  }
  if (files::exists(g.currentPicturePath)) {
    core::readLoadedSize(p, g.currentPicturePath);
    w.setTitle(core::mainTitle(g.loadedWidth, g.loadedHeight));
    if (g.loadedWidth > 0 && g.loadedHeight > 0) {
      ui::PictureBox& box = core::pictureBox(p);
      box.setWidth(g.loadedWidth);
      box.setHeight(g.loadedHeight);
      w.setWidth(box.width());
      w.setHeight(box.height());
    }
    core::putFileIntoPictureBox(p, g.currentPicturePath);
  } else {
    core::openPicture(p);
    if (!p.main()) return;
  }

  if (g.savedMainWidth != 0) {
    w.move(g.savedMainLeft, g.savedMainTop);
    w.setWidth(g.savedMainWidth);
    w.setHeight(g.savedMainHeight);
  }

  g.alphaLevel = 255;
  g.clickThrough = 0;

  if (g.folderList.empty()) core::rebuildFolderList(p);

  w.menu() = mainMenu(p);

  std::string note;
  if (core::readNote(p, note)) {
    ui::EditBox& box = core::noteBox(p);
    // Loading the saved note is not an edit of it.
    auto changed = std::move(box.onChanged);
    box.setText(std::move(note));
    box.onChanged = std::move(changed);
  }
}

void onMainDestroying(Program& p) {
  core::GlobalState& g = p.g();
  if (p.host()) p.host()->setVisible(true);
  core::saveStateFiles(p);
  g.mainWindowClosed = 1;
  if (ui::Window* w = p.main()) {
    g.savedMainLeft = w->left();
    g.savedMainTop = w->top();
    g.savedMainWidth = w->width();
    g.savedMainHeight = w->height();
  }
}

void onMainMoved(Program& p) {
  ui::Window& w = *p.main();
  const ui::Monitor screen = core::screenOf(p, w);
  const int right = screen.left + screen.width, bottom = screen.top + screen.height;
  if (w.left() > right) w.setLeft(right - 10);
  if (w.left() < screen.left + 10 - w.width()) w.setLeft(screen.left + 10 - w.width());
  if (w.top() > bottom) w.setTop(bottom - 10);
  if (w.top() < screen.top + 10 - w.height()) w.setTop(screen.top + 10 - w.height());
  if (p.g().slideshowWindowOpen == 1)
    slideshow::dockSlideshowWindow(p, slideshow::MainChange::Moved);
  if (p.g().colourWindowOpened == 1) doodle::followMainWindow(p, false);
}

void onMainResized(Program& p) {
  ui::Window& w = *p.main();
  if (w.width() < 20) w.setWidth(20);
  if (p.g().localZoom == 0) core::fitToPicture(p);
  p.g().lastDisplayWidth = core::pictureBox(p).width();
  if (p.g().slideshowWindowOpen == 1) {
    slideshow::dockSlideshowWindow(p, slideshow::MainChange::Resized);
  }
  if (p.g().colourWindowOpened == 1) doodle::followMainWindow(p, true);
}

}  // namespace quillet::app
