#include "help/help_window.h"

#include <cmath>

#include "core/program.h"
#include "core/screens.h"
#include "platform/image/picture.h"

namespace quillet::help {

namespace {

constexpr int kWidth = 326;
constexpr int kOpeningHeight = 176, kClosedHeight = 174, kOpenHeight = 431;
constexpr int kThanksTopClosed = 146, kThanksTopBelowGuide = 400;
constexpr const char* kGuideWord = "Operation Guide";
constexpr const char* kThanksWord = "Special Thanks";

// A quill over a circle, drawn once: the window's emblem.
ui::PictureBytes emblem() {
  image::Bitmap b;
  b.width = b.height = 48;
  b.rgb.assign(b.stride() * 48, 0xFF);
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 48; ++x) {
      std::uint8_t* px = b.row(y) + 3 * x;
      double dx = x - 23.5, dy = y - 23.5;
      double r = std::sqrt(dx * dx + dy * dy);
      if (r < 22.5) {
        px[0] = 0xE8, px[1] = 0x6A, px[2] = 0x2C;  // orange disc
      }
      // The quill: a band along the falling diagonal, narrowing to a tip.
      double along = (x + y) / 2.0, across = std::abs(x - y) / 1.414;
      double halfWidth = along < 10 ? 0.0 : (along - 10) * 0.18;
      if (along >= 10 && along <= 44 && across <= halfWidth) {
        px[0] = px[1] = px[2] = 0xFA;
      }
      if (along >= 12 && along <= 44 && across <= 0.7) px[0] = px[1] = px[2] = 0x30;
    }
  }
  return std::make_shared<const std::vector<std::uint8_t>>(image::encodeBmp24(b));
}

ui::Window* helpWindow(core::Program& p) { return p.secondary(kHelpWindowKey); }

template <class T>
T& control(core::Program& p, const char* name) {
  return helpWindow(p)->get<T>(name);
}

// One fold-out panel: its flag, text box, toggle button and the word its
// toggles write, and where the acknowledgements' toggle goes while it is open.
struct Panel {
  int core::GlobalState::*open;
  const char* box;
  const char* button;
  const char* word;
  int thanksTopWhileOpen;
};

constexpr Panel kGuide{&core::GlobalState::guideOpen, "操作说明编辑框", "操作说明按钮", kGuideWord,
                       kThanksTopBelowGuide};
constexpr Panel kThanks{&core::GlobalState::thanksOpen, "特别鸣谢编辑框", "特别鸣谢按钮",
                        kThanksWord, kThanksTopClosed};

// Opening one panel closes the other; closing leaves both closed.
void togglePanel(core::Program& p, const Panel& panel, const Panel& other) {
  core::GlobalState& g = p.g();
  ui::Window* w = helpWindow(p);
  if (!w) return;
  auto& thanksButton = control<ui::Button>(p, kThanks.button);
  if (g.*panel.open == 1) {
    control<ui::EditBox>(p, panel.box).setVisible(false);
    w->setHeight(kClosedHeight);
    thanksButton.setTop(kThanksTopClosed);
    control<ui::Button>(p, panel.button).setCaption(toggleCaption(false, panel.word));
    g.*panel.open = 0;
    return;
  }
  w->setHeight(kOpenHeight);
  control<ui::EditBox>(p, other.box).setVisible(false);
  control<ui::EditBox>(p, panel.box).setVisible(true);
  thanksButton.setTop(panel.thanksTopWhileOpen);
  control<ui::Button>(p, panel.button).setCaption(toggleCaption(true, panel.word));
  control<ui::Button>(p, other.button).setCaption(toggleCaption(false, other.word));
  g.*other.open = 0;
  g.*panel.open = 1;
}

void build(core::Program& p, ui::Window& w, const std::string& guideText) {
  w.setBorder(ui::Window::Border::None);
  w.setTitle("帮助信息");
  // Opened over the always-on-top picture, it must not end up beneath it.
  w.setTopmost(true);
  // At its designed place on the monitor the picture window is on.
  const ui::Monitor screen =
      p.main() ? core::screenOf(p, *p.main()) : core::desktopBounds(p.backend().monitors());
  w.move(screen.left + 50, screen.top + 50);
  w.setWidth(kWidth);
  w.setHeight(kOpeningHeight);

  auto& header = w.add<ui::GroupBox>("分组框1");
  header.setGeometry(7, -1, 312, 121);
  auto& picture = w.add<ui::PictureBox>("图片框1", &header);
  picture.setGeometry(32, 15, 40, 40);
  picture.setBackground(0xF0F0F0);
  picture.setPicture(emblem(), "");
  auto& name = w.add<ui::Label>("标签2", &header);
  name.setGeometry(98, 29, 183, 24);
  name.setText("Quillet v2.14");
  auto& contact = w.add<ui::Label>("标签1", &header);
  contact.setGeometry(29, 68, 199, 48);
  contact.setText("描图助手 Quillet 开发组\r\n意见与问题：请随程序说明反馈");
  auto& close = w.add<ui::Button>("按钮2", &header);
  close.setGeometry(289, 8, 20, 20);
  close.setCaption("×");
  close.onClick = [&p] { closeHelpWindow(p); };

  auto& guideButton = w.add<ui::Button>(kGuide.button);
  guideButton.setGeometry(7, 122, 312, 23);
  guideButton.setCaption(toggleCaption(false, "操作说明"));
  guideButton.onClick = [&p] { toggleGuidePanel(p); };
  auto& thanksButton = w.add<ui::Button>(kThanks.button);
  thanksButton.setGeometry(7, kThanksTopClosed, 312, 23);
  thanksButton.setCaption(toggleCaption(false, "特别鸣谢"));
  thanksButton.onClick = [&p] { toggleThanksPanel(p); };

  auto& guide = w.add<ui::EditBox>(kGuide.box);
  guide.setGeometry(7, 150, 312, 250);
  guide.setReadOnly(true);
  guide.setText(guideText);
  guide.setVisible(false);
  auto& thanks = w.add<ui::EditBox>(kThanks.box);
  thanks.setGeometry(7, 172, 312, 250);
  thanks.setReadOnly(true);
  thanks.setText(thanksText());
  thanks.setVisible(false);

  w.onCloseRequest = [&p] { closeHelpWindow(p); };
  w.onLeftDown = [&p](int, int, int) {
    if (ui::Window* self = helpWindow(p)) p.backend().startSystemMove(*self);
  };
}

}  // namespace

std::string toggleCaption(bool open, const std::string& word) {
  return std::string(open ? "-" : "＋") + std::string(19, ' ') + word;
}

void showHelpWindow(core::Program& p, const std::string& guide) {
  if (ui::Window* open = helpWindow(p)) {
    open->setVisible(true);
    open->setFocus();
    return;
  }
  ui::Window& w =
      p.openSecondary(kHelpWindowKey, std::make_unique<ui::Window>(p.backend(), "帮助窗口"));
  build(p, w, guide);
  p.g().guideOpen = 0;
  p.g().thanksOpen = 0;
  w.setVisible(true);
}

void closeHelpWindow(core::Program& p) { p.closeSecondary(kHelpWindowKey); }

void toggleGuidePanel(core::Program& p) { togglePanel(p, kGuide, kThanks); }

void toggleThanksPanel(core::Program& p) { togglePanel(p, kThanks, kGuide); }

}  // namespace quillet::help
