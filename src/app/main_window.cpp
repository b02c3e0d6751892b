#include "app/main_window.h"

#include "app/main_menu.h"
#include "app/names.h"
#include "app/program.h"
#include "ops/keyboard.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/ui/input.h"
#include "viewer/mouse.h"
#include "viewer/picture_loading.h"

namespace quillet::app {

namespace {

constexpr int kFirstLeft = 50, kFirstTop = 50, kFirstWidth = 345, kFirstHeight = 503;
constexpr std::uint32_t kPictureBackground = 0x606060;

std::string withoutLineEnd(std::string path) {
  // A record touched by a text editor gains a line end that no path has.
  while (!path.empty() && (path.back() == '\n' || path.back() == '\r')) path.pop_back();
  return path;
}

std::string readLastFileRecord(Program& p) {
  auto bytes = files::read(p.programPath(kLastFileRecord));
  if (!bytes) return {};
  std::string path = withoutLineEnd(text::fromStateFile(*bytes));
  // Many UTF-8 byte strings are also valid GB18030; a record written by hand
  // in UTF-8 is recognised by naming a file that exists.
  if (!files::exists(path)) {
    std::string utf8 = withoutLineEnd(text::fromUtf8(*bytes));
    if (files::exists(utf8)) return utf8;
  }
  return path;
}

void writeText(Program& p, const char* name, const std::string& content) {
  files::writeAtomic(p.programPath(name), text::toStateFile(content));
}

void onMainKey(Program& p, int key, int modifiers) {
  // Esc closes only the picture window; the host window takes over.
  if (key == ui::key::kEscape && modifiers == 0) {
    p.destroyMainWindow();
    return;
  }
  ops::onMainKeyDown(p, key, modifiers);
}

}  // namespace

std::string mainTitle(int loadedWidth, int loadedHeight) {
  return "Quillet －  原图大小：" + std::to_string(loadedWidth) + "  ×" +
         std::to_string(loadedHeight);
}

ui::PictureBox& pictureBox(Program& p) { return p.main()->get<ui::PictureBox>(kPictureBox); }
ui::EditBox& noteBox(Program& p) { return p.main()->get<ui::EditBox>(kNoteBox); }

void buildMainWindow(Program& p, ui::Window& w) {
  w.setBorder(ui::Window::Border::None);
  w.setTopmost(true);
  w.move(kFirstLeft, kFirstTop);
  w.setWidth(kFirstWidth);
  w.setHeight(kFirstHeight);

  auto& box = w.add<ui::PictureBox>(kPictureBox);
  box.setGeometry(0, 0, kFirstWidth, kFirstHeight + 1);
  box.setBorder(true);
  box.setBackground(kPictureBackground);

  auto& note = w.add<ui::EditBox>(kNoteBox);
  note.setVisible(false);
  auto& info = w.add<ui::Label>(kInfoLabel);
  info.setVisible(false);
  auto& shortcuts = w.add<ui::Label>(kShortcutLabel);
  shortcuts.setVisible(false);

  // Bound after the first geometry: the design size is not a resize.
  w.onMoved = [&p] { onMainMoved(p); };
  w.onResized = [&p] { onMainResized(p); };
  w.onDestroying = [&p] { onMainDestroying(p); };
  w.onCloseRequest = [&p] { p.destroyMainWindow(); };
  w.onKeyDown = [&p](int key, int modifiers) { onMainKey(p, key, modifiers); };
  w.onKeyUp = [&p](int key, int modifiers) { ops::onMainKeyUp(p, key, modifiers); };
  viewer::bindPictureMouse(p, w, box);
}

void onMainCreated(Program& p) {
  GlobalState& g = p.g();
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

  if (files::exists(p.programPath(kLastFileRecord))) {
    g.currentPicturePath = readLastFileRecord(p);
  } else {
    g.currentPicturePath = p.programPath(kDefaultPicture);
  }
  if (files::exists(g.currentPicturePath)) {
    viewer::readLoadedSize(p, g.currentPicturePath);
    w.setTitle(mainTitle(g.loadedWidth, g.loadedHeight));
    if (g.loadedWidth > 0 && g.loadedHeight > 0) {
      ui::PictureBox& box = pictureBox(p);
      box.setWidth(g.loadedWidth);
      box.setHeight(g.loadedHeight);
      w.setWidth(box.width());
      w.setHeight(box.height());
    }
    viewer::putFileIntoPictureBox(p, g.currentPicturePath);
  } else {
    viewer::openPicture(p);
    if (!p.main()) return;
  }

  if (g.savedMainWidth != 0) {
    w.move(g.savedMainLeft, g.savedMainTop);
    w.setWidth(g.savedMainWidth);
    w.setHeight(g.savedMainHeight);
  }

  g.alphaLevel = 255;
  g.clickThrough = 0;

  if (g.folderList.empty()) viewer::rebuildFolderList(p);

  w.menu() = mainMenu(p);

  if (auto bytes = files::read(p.programPath(kNoteFile))) {
    ui::EditBox& note = noteBox(p);
    // Loading the saved note is not an edit of it.
    auto changed = std::move(note.onChanged);
    note.setText(text::fromStateFile(*bytes));
    note.onChanged = std::move(changed);
  }
}

void saveStateFiles(Program& p) {
  GlobalState& g = p.g();
  writeText(p, kLastFileRecord, g.currentPicturePath);
  if (g.textNoteMode == 1 && p.main()) writeText(p, kNoteFile, noteBox(p).text());
}

void onMainDestroying(Program& p) {
  GlobalState& g = p.g();
  if (p.host()) p.host()->setVisible(true);
  writeText(p, kLastFileRecord, g.currentPicturePath);
  if (g.textNoteMode == 1 && p.main()) writeText(p, kNoteFile, noteBox(p).text());
  g.mainWindowClosed = 1;
  if (ui::Window* w = p.main()) {
    g.savedMainLeft = w->left();
    g.savedMainTop = w->top();
    g.savedMainWidth = w->width();
    g.savedMainHeight = w->height();
  }
}

void closeProgram(Program& p) {
  GlobalState& g = p.g();
  writeText(p, kLastFileRecord, g.currentPicturePath);
  if (g.textNoteMode == 1) {
    if (p.main()) writeText(p, kNoteFile, noteBox(p).text());
    g.textNoteMode = 0;
  }
  std::string work = p.programPath(kWorkBitmapFile);
  if (files::exists(work)) files::remove(work);
  p.endProcess(0);
}

void onMainMoved(Program& p) {
  ui::Window& w = *p.main();
  ui::ScreenSize screen = p.backend().screenSize();
  if (w.left() > screen.width) w.setLeft(screen.width - 10);
  if (w.left() < 10 - w.width()) w.setLeft(10 - w.width());
  if (w.top() > screen.height) w.setTop(screen.height - 10);
  if (w.top() < 10 - w.height()) w.setTop(10 - w.height());
}

void onMainResized(Program& p) {
  GlobalState& g = p.g();
  ui::Window& w = *p.main();
  ui::PictureBox& box = pictureBox(p);
  if (w.width() < 20) w.setWidth(20);
  if (g.localZoom == 0) {
    box.setLeft(0);
    box.setTop(0);
    box.setWidth(w.width());
    ui::EditBox& note = noteBox(p);
    if (note.visible()) {
      box.setHeight(w.height());
      note.setHeight(w.height() - 43);
      note.setWidth(w.width() - 19);
    } else if (g.ratioLocked == 1 && g.aspectRatio > 0.0f) {
      box.setHeight(static_cast<int>(static_cast<double>(g.aspectRatio) * box.width()));
      w.setHeight(box.height());
      w.setWidth(box.width());
    } else {
      box.setHeight(w.height());
      box.setWidth(w.width());
    }
  }
  g.lastDisplayWidth = box.width();
}

}  // namespace quillet::app
