#include "doodle/colour_window.h"

#include <array>
#include <string>

#include "core/program.h"
#include "core/screens.h"
#include "doodle/doodle_session.h"
#include "doodle/doodle_window.h"
#include "platform/ui/input.h"

namespace quillet::doodle {

namespace {

constexpr int kColourWindowHeight = 350;
constexpr std::uint32_t kStartBackground = 0xFF8800;
constexpr std::array<const char*, 3> kBoxNames{"红编辑框", "绿编辑框", "蓝编辑框"};
constexpr char kPicker[] = "颜色选择";
constexpr char kPreview[] = "标签2";
constexpr char kStatus[] = "临时标签";
constexpr char kWidthSlider[] = "滑块条1";
constexpr char kColourSlider[] = "颜色滑块条";

ui::Window* colourWindow(Session& s) { return s.p.secondary(kColourWindowKey); }

WindowRect rectOf(const ui::Window& w) { return {w.left(), w.top(), w.width(), w.height()}; }

void layOut(const std::shared_ptr<Session>& s, ui::Window& w) {
  auto& whole = w.add<ui::GroupBox>("分组框3");
  whole.setGeometry(0, 0, kColourWindowWidth, kColourWindowHeight);

  auto& widths = w.add<ui::GroupBox>("分组框1", &whole);
  widths.setGeometry(6, 12, 60, 132);
  widths.setCaption("粗细");
  auto& widthSlider = w.add<ui::Slider>(kWidthSlider, &widths);
  widthSlider.setGeometry(2, 13, 55, 16);
  widthSlider.setRange(kWidthSliderMin, kWidthSliderMax);
  widthSlider.setSteps(1, 5);
  widthSlider.setPosition(5);
  widthSlider.onChanged = onSession(s, [](Session& t) {
    t.engine.colours().onWidthSliderChanged(
        colourWindow(t)->get<ui::Slider>(kWidthSlider).position());
  });
  auto& preview = w.add<ui::Label>(kPreview, &widths);
  preview.setGeometry(3, 29, 20, 12);
  auto& status = w.add<ui::Label>(kStatus, &widths);
  status.setGeometry(2, 92, 55, 37);
  status.setFont("宋体");

  auto& colours = w.add<ui::GroupBox>("分组框2", &whole);
  colours.setGeometry(6, 149, 60, 92);
  colours.setCaption("颜色");
  auto& picker = w.add<ui::ColourPicker>(kPicker, &colours);
  picker.setGeometry(2, 14, 48, 20);
  picker.onChanged = onSession(s, [](Session& t) {
    t.engine.colours().choosePickerColour(colourWindow(t)->get<ui::ColourPicker>(kPicker).colour());
  });
  picker.onFocusIn = onSession(s, [](Session& t) { t.engine.colours().onPickerFocus(true); });
  picker.onFocusOut = onSession(s, [](Session& t) { t.engine.colours().onPickerFocus(false); });

  constexpr std::array<const char*, 3> kLetters{"R", "G", "B"};
  constexpr std::array<const char*, 3> kLetterNames{"R标签", "G标签", "B标签"};
  constexpr std::array<int, 3> kBoxTops{36, 53, 70};
  constexpr std::array<int, 3> kLetterTops{38, 54, 71};
  for (std::size_t i = 0; i < kBoxNames.size(); ++i) {
    const Box which = static_cast<Box>(i);
    auto& box = w.add<ui::EditBox>(kBoxNames[i], &colours);
    box.setGeometry(2, kBoxTops[i], 24, 16);
    box.setSingleLine(true);
    box.setText("0");
    box.onChanged = onSession(s, [i](Session& t) {
      t.panel.boxes[i] = colourWindow(t)->get<ui::EditBox>(kBoxNames[i]).text();
      t.engine.colours().onBoxChanged();
    });
    box.onFocusIn = onSession(s, [which](Session& t) { t.engine.colours().onBoxFocused(which); });
    box.onWheel = onSession(s, [which](Session& t, int distance, int) {
      t.engine.colours().onBoxWheel(which, distance);
    });
    auto& letter = w.add<ui::Label>(kLetterNames[i], &colours);
    letter.setGeometry(44, kLetterTops[i], 8, 16);
    letter.setText(kLetters[i]);
  }
  auto& colourSlider = w.add<ui::Slider>(kColourSlider, &colours);
  colourSlider.setOrientation(ui::Slider::Orientation::Vertical);
  colourSlider.setGeometry(28, 35, 15, 50);
  colourSlider.setRange(0, kColourSliderMax);
  colourSlider.setSteps(1, 5);
  colourSlider.onPressed =
      onSession(s, [](Session& t) { t.engine.colours().onColourSliderPressed(); });
  colourSlider.onChanged = onSession(s, [](Session& t) {
    t.engine.colours().onColourSliderChanged(
        colourWindow(t)->get<ui::Slider>(kColourSlider).position());
  });

  struct ButtonRow {
    const char* name;
    const char* caption;
    int top;
    void (*run)(Session&);
  };
  const std::array<ButtonRow, 3> buttons{{
      {"填充按钮", "填充", 246, [](Session& t) { t.engine.fillCanvas(); }},
      {"重画按钮", "清除", 279, [](Session& t) { t.engine.clearCanvas(); }},
      {"退出按钮", "关闭", 312, nullptr},
  }};
  for (const ButtonRow& row : buttons) {
    auto& button = w.add<ui::Button>(row.name, &whole);
    button.setGeometry(5, row.top, 61, 29);
    button.setCaption(row.caption);
    if (row.run) {
      button.onClick = onSession(s, row.run);
    } else {
      core::Program& p = s->p;
      button.onClick = [&p] { closeDoodleWindow(p); };
    }
  }
}

void bindWindow(const std::shared_ptr<Session>& s, ui::Window& w) {
  core::Program& p = s->p;
  w.onMoved = [&p] {
    ui::Window* self = p.secondary(kColourWindowKey);
    if (!self || !p.main()) return;
    if (auto snap = colourWindowSnap(rectOf(*p.main()), rectOf(*self))) {
      self->move(snap->left, snap->top);
    }
  };
  w.onMouseMove = [&p](int, int, int) {
    ui::Window* self = p.secondary(kColourWindowKey);
    if (self && self->width() != kColourWindowWidth) self->setWidth(kColourWindowWidth);
  };
  w.onKeyDown = [&p](int key, int) {
    if (key == ui::key::kEscape) closeDoodleWindow(p);
  };
  w.onCloseRequest = [&p] { closeDoodleWindow(p); };
}

}  // namespace

void showPanel(Session& s) {
  ui::Window* w = colourWindow(s);
  if (!w) return;
  const ColourPanel& panel = s.panel;
  s.mirroring = true;
  w->setColour(panel.background);
  w->setEnabled(panel.enabled);
  w->get<ui::ColourPicker>(kPicker).setColour(panel.picker);
  for (std::size_t i = 0; i < kBoxNames.size(); ++i) {
    w->get<ui::EditBox>(kBoxNames[i]).setText(panel.boxes[i]);
  }
  w->get<ui::Slider>(kWidthSlider).setPosition(panel.widthSlider);
  w->get<ui::Slider>(kColourSlider).setPosition(panel.colourSlider);
  auto& preview = w->get<ui::Label>(kPreview);
  preview.setBackground(panel.preview.colour);
  preview.setWidth(panel.preview.width);
  preview.setHeight(panel.preview.height);
  preview.setText(panel.preview.caption);
  w->get<ui::Label>(kStatus).setText(panel.status);
  s.mirroring = false;
}

void openColourWindow(const std::shared_ptr<Session>& s) {
  core::Program& p = s->p;
  auto made = std::make_unique<ui::Window>(p.backend(), "颜色窗口", &s->doodle);
  ui::Window& w = p.openSecondary(kColourWindowKey, std::move(made));
  w.setTitle("颜色窗口");
  w.setBorder(ui::Window::Border::None);
  w.setTopmost(true);
  w.setColour(kStartBackground);
  w.move(50, 50);
  w.setWidth(kColourWindowWidth);
  w.setHeight(kColourWindowHeight);
  layOut(s, w);
  bindWindow(s, w);

  s->engine.colours().onColourCreated();
  if (const ui::Window* main = p.main()) {
    const ui::Monitor m = core::screenOf(p, *main);
    const Position place =
        colourWindowPlace(rectOf(*main), w.width(), {m.left, m.top, m.width, m.height});
    w.move(place.left, place.top);
  }
  showPanel(*s);
  w.setVisible(true);
}

}  // namespace quillet::doodle
