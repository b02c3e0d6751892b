#include "doodle/doodle_commands.h"

#include <array>
#include <cstdint>
#include <string>

#include "core/program.h"
#include "doodle/doodle_board.h"
#include "doodle/doodle_session.h"
#include "doodle/doodle_window.h"
#include "platform/ui/input.h"

namespace quillet::doodle {

namespace {

using ui::key::letter;

enum class Row { Command, Separator, Brushes, Colours };

// One row of the menu "钢笔操作" with the keys that do the same; a row
// without a caption is a key alone. The menu and the key handler both read
// this table, so a key and its menu item cannot drift apart.
struct Command {
  Row row;
  const char* caption;
  std::array<int, 2> keys;
  void (*run)(Session&);
};

constexpr Command kSeparator{Row::Separator, nullptr, {}, nullptr};

const std::array kCommands{
    Command{Row::Command, "保存", {}, saveDoodle},
    kSeparator,
    Command{Row::Command, "上翻", {ui::key::kPageUp}, previousPicture},
    Command{Row::Command, "下翻", {ui::key::kPageDown}, nextPicture},
    kSeparator,
    Command{Row::Command, "左移", {ui::key::kLeft}, moveDoodleLeft},
    Command{Row::Command, "右移", {ui::key::kRight}, moveDoodleRight},
    kSeparator,
    Command{Row::Command,
            "清除",
            {ui::key::kSpace, ui::key::kDelete},
            [](Session& s) { s.engine.clearCanvas(); }},
    Command{Row::Command, "白板", {letter('B')}, [](Session& s) { s.engine.whiteBoard(); }},
    Command{Row::Command, "黑板", {}, [](Session& s) { s.engine.blackBoard(); }},
    Command{Row::Command, "填充", {letter('T')}, [](Session& s) { s.engine.fillCanvas(); }},
    Command{Row::Command, "快照", {ui::key::kReturn}, refreshSnapshot},
    Command{Row::Command, "屏幕", {}, toggleScreenBoard},
    kSeparator,
    Command{Row::Command, "直线", {}, [](Session& s) { s.engine.setLineMode(); }},
    Command{Row::Command, "实框", {}, [](Session& s) { s.engine.setFrameMode(); }},
    Command{Row::Command, "透视", {letter('S')}, [](Session& s) { s.engine.setPerspectiveMode(); }},
    Command{Row::Command, "曲线", {}, [](Session& s) { s.engine.setCurveMode(); }},
    Command{Row::Command, "压感", {}, [](Session& s) { s.engine.togglePressureMode(); }},
    kSeparator,
    Command{Row::Brushes, "笔刷", {}, nullptr},
    Command{Row::Colours, "颜色", {}, nullptr},
    kSeparator,
    Command{Row::Command, "关闭", {letter('P')}, [](Session& s) { closeDoodleWindow(s.p); }},
    Command{Row::Command, nullptr, {letter('L')}, [](Session& s) { s.engine.toggleLineMode(); }},
    Command{Row::Command, nullptr, {letter('R')}, faintDoodle},
};

// A menu action runs only while its doodle is open, and shows what it changed.
std::function<void()> act(Session& s, std::function<void(Session&)> run) {
  core::Program& p = s.p;
  ui::Window* doodle = &s.doodle;
  return [&p, doodle, &s, run] {
    if (p.secondary(kDoodleWindowKey) != doodle || !isOpen(s)) return;
    run(s);
    if (isOpen(s)) settle(s);
  };
}

ui::MenuItem item(std::string caption, std::function<void()> action) {
  ui::MenuItem it;
  it.caption = std::move(caption);
  it.action = std::move(action);
  return it;
}

ui::MenuItem brushes(Session& s) {
  ui::MenuItem sub = item("笔刷", nullptr);
  for (std::size_t i = 0; i < kBrushWidths.size(); ++i) {
    const int width = kBrushWidths[i].width;
    sub.children.push_back(item(kBrushWidths[i].caption,
                                act(s, [width](Session& t) { t.engine.setPenWidth(width); })));
    // The finest pen stands apart from the numbered ones.
    if (i == 0) sub.children.push_back(ui::MenuItem::separatorLine());
  }
  return sub;
}

ui::MenuItem colours(Session& s) {
  ui::MenuItem sub = item("颜色", nullptr);
  for (std::size_t i = 0; i < kPenColours.size(); ++i) {
    const std::uint32_t colour = kPenColours[i].colour;
    sub.children.push_back(item(kPenColours[i].caption,
                                act(s, [colour](Session& t) { t.engine.setPenColour(colour); })));
    // Black and white, then the three primaries.
    if (i == 1) sub.children.push_back(ui::MenuItem::separatorLine());
  }
  sub.children.push_back(ui::MenuItem::separatorLine());
  sub.children.push_back(item("半透明", act(s, toggleSemiTransparent)));
  return sub;
}

}  // namespace

ui::Menu penMenu(Session& s) {
  ui::Menu menu;
  menu.title = "钢笔操作";
  for (const Command& c : kCommands) {
    switch (c.row) {
      case Row::Separator:
        menu.items.push_back(ui::MenuItem::separatorLine());
        break;
      case Row::Brushes:
        menu.items.push_back(brushes(s));
        break;
      case Row::Colours:
        menu.items.push_back(colours(s));
        break;
      case Row::Command:
        if (c.caption) menu.items.push_back(item(c.caption, act(s, c.run)));
        break;
    }
  }
  return menu;
}

void showPenMenu(Session& s) { s.doodle.popupMenu(penMenu(s)); }

void pressKey(Session& s, int key, int modifiers) {
  if (key == 0) return;
  for (const Command& c : kCommands) {
    if (c.run && (c.keys[0] == key || c.keys[1] == key)) {
      c.run(s);
      return;
    }
  }
  // The pen's widths: the digits, comma and period.
  s.engine.onDoodleKeyDown(key, modifiers);
}

}  // namespace quillet::doodle
