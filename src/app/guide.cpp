#include "app/guide.h"

#include <initializer_list>

#include "app/main_menu.h"
#include "platform/ui/input.h"

namespace quillet::app {

namespace {

namespace key = ui::key;

std::string joinLines(std::initializer_list<const char*> lines) {
  std::string out;
  for (const char* line : lines) {
    if (!out.empty()) out += "\r\n";
    out += line;
  }
  return out;
}

// How the guide names the keys that are neither letters nor digits.
struct KeyName {
  int code;
  const char* name;
};

constexpr KeyName kKeyNames[] = {
    {key::kEscape, "Esc"},
    {key::kSpace, "空格"},
    {key::kPageUp, "Page Up"},
    {key::kPageDown, "Page Down"},
    {key::kHome, "Home"},
    {key::kEnd, "End"},
    {key::kInsert, "Insert"},
    {key::kDelete, "Delete"},
    {key::kLeft, "←"},
    {key::kRight, "→"},
    {key::kUp, "↑"},
    {key::kDown, "↓"},
    {key::kF1, "F1"},
    {key::kF2, "F2"},
    {key::kMenu, "Alt"},
    {key::kOemMinus, "减号"},
    {key::kOemPlus, "等号"},
    {key::kAdd, "小键盘加号"},
    {key::kMultiply, "小键盘乘号"},
    {key::kOemPeriod, "句号"},
    {key::kOemComma, "逗号"},
};

std::string codeName(int code) {
  if (code >= key::kA && code <= key::letter('Z')) return std::string(1, static_cast<char>(code));
  if (code >= key::k0 && code <= key::k0 + 9) return std::string(1, static_cast<char>(code));
  for (const KeyName& k : kKeyNames) {
    if (k.code == code) return k.name;
  }
  return "?";
}

std::string bindingName(const KeyBinding& b) {
  switch (b.held) {
    case Held::Ctrl:
      return "Ctrl+" + codeName(b.code);
    case Held::Alt:
      return "Alt+" + codeName(b.code);
    case Held::Any:
    case Held::Nothing:
    case Held::NotAlt:
      break;
  }
  return codeName(b.code);
}

bool allArrows(const std::vector<KeyBinding>& keys) {
  int arrows = 0;
  for (const KeyBinding& b : keys) {
    if (b.code >= key::kLeft && b.code <= key::kDown && b.held == Held::NotAlt) ++arrows;
  }
  return arrows == 4 && keys.size() == 4;
}

// The captions from the top of the menu down to the action's entry.
std::string menuPathText(ActionId id) {
  std::string path;
  for (ActionId step : menuPath(id)) {
    if (!path.empty()) path += "→";
    path += std::string("“") + action(step).caption + "”";
  }
  return path;
}

std::string describe(const Action& a) {
  const std::string path = menuPathText(a.id);
  std::string out = !path.empty() ? "菜单" + path : std::string(a.summary ? a.summary : "");
  const std::string keys = keyNames(a);
  if (!keys.empty()) out += "（" + keys + "）";
  return out;
}

std::vector<GuideTopic> buildTopics() {
  using A = ActionId;
  return {
      {"图片大小",
       "滚轮放大缩小窗口；Ctrl+滚轮微调 1 像素；Ctrl+鼠标左右移动",
       {A::Narrow, A::Widen, A::FitToScreen, A::RestorePicture},
       nullptr},
      {"局部缩放",
       "Alt+滚轮；Alt+单击；双击画面放大 2 倍",
       {A::AltRelease, A::ZoomInByTwo, A::ZoomOutByTwo},
       "放大后用方向键移动局部"},
      {"显示菜单", "在图片上单击鼠标右键", {}, nullptr},
      {"移动", "拖曳图片", {A::Nudge, A::ToggleFreeMove}, "图片完全显示时方向键移动窗口 1 像素"},
      {"透明度调节", "Shift+鼠标左右移动", {A::AlphaDigit, A::Transparency}, nullptr},
      {"翻转",
       nullptr,
       {A::MirrorHorizontal, A::MirrorVertical, A::MirrorDiagonal},
       "翻转较大的图片需要一些时间"},
      {"旋转", nullptr, {A::RotateRightAngle, A::RotateByAngle, A::FreeRotate}, nullptr},
      {"去色",
       "菜单“灰度去色”→“值为2”至“值为128”",
       {A::GrayFromKey, A::GrayCustom, A::GrayRestore},
       nullptr},
      {"显示图片信息", nullptr, {A::InfoLabel, A::ToggleFrame, A::TextNote}, nullptr},
      {"鼠标穿透",
       nullptr,
       {A::ClickThrough, A::ClickThroughByKey},
       "取消：红点窗口右键菜单“Don't Penetrate”或在红点上按 C 键"},
      {"图片避让", nullptr, {A::Avoidance}, "按住 Ctrl、Shift 或 Alt 可让图片停下"},
      {"隐藏图片", "Alt+双击图片", {A::HidePicture}, "双击红点或红点菜单“Display”重新显示"},
      {"窗口前置或后置", nullptr, {A::Topmost}, nullptr},
      {"切换图片",
       nullptr,
       {A::OpenPicture, A::PreviousPicture, A::NextPicture, A::Slideshow},
       nullptr},
      {"屏幕截图", nullptr, {A::CaptureRegion}, "然后用鼠标框选区域"},
      {"简易涂鸦", nullptr, {A::Doodle, A::DoodleByKey}, nullptr},
      {"图片比例",
       nullptr,
       {A::RatioMode, A::RatioLock},
       "“改变比例”后可拖动边框改变比例，再选一次确定新比例"},
      {"帮助", nullptr, {A::ShortcutOverlay, A::Help}, nullptr},
      {"退出", nullptr, {A::CloseProgram, A::CloseWindow}, "红点菜单“Exit Quillet”"},
  };
}

std::string topicLine(int number, const GuideTopic& topic) {
  std::string line = std::to_string(number) + "、" + topic.heading + "：";
  std::string body;
  auto append = [&body](const std::string& part) {
    if (part.empty()) return;
    if (!body.empty()) body += "；";
    body += part;
  };
  if (topic.gestures) append(topic.gestures);
  for (ActionId id : topic.actions) append(describe(action(id)));
  if (topic.remark) append(topic.remark);
  return line + body + "。";
}

}  // namespace

std::string keyNames(const Action& a) {
  if (a.keys.empty()) {
    // Named by the keys whose release does it.
    std::string out;
    for (int code : a.releaseKeys) {
      if (!out.empty()) out += "、";
      out += codeName(code);
    }
    return out;
  }
  if (a.keys.size() == 10 && a.keys.front().code == key::k0) return "0–9";
  if (allArrows(a.keys)) return "方向键";
  std::string out;
  for (const KeyBinding& b : a.keys) {
    if (!out.empty()) out += "、";
    out += bindingName(b);
  }
  return out;
}

const std::vector<GuideTopic>& guideTopics() {
  static const std::vector<GuideTopic> topics = buildTopics();
  return topics;
}

const std::string& guideText() {
  static const std::string text = [] {
    const std::string equals(48, '=');
    const std::string dashes(48, '-');
    std::string t = equals + "\r\n";
    t += joinLines({
        "功能介绍：",
        "1、在屏幕上悬浮显示参考图片，供临摹绘画、书法或图片时对照。",
        "2、定时显示和浏览同目录的图片，逼迫自己快速落笔（速写练习）。",
        "3、截取屏幕上的任意区域作为参考图，并可在图上简单涂鸦。",
    });
    t += "\r\n" + equals + "\r\n操作指南：";
    int number = 1;
    for (const GuideTopic& topic : guideTopics()) t += "\r\n" + topicLine(number++, topic);
    t += "\r\n" + dashes + "\r\n";
    t += joinLines({
        "提示：不少窗口管理器把 Alt+拖动、Alt+滚轮留作自用，",
        "此时 Alt 相关的操作可能无效，可改用逗号、句号键缩放。",
    });
    t += "\r\n" + equals;
    return t;
  }();
  return text;
}

const std::string& shortcutOverlayText() {
  static const std::string text = joinLines({
      " 1、打开图片：右键菜单->打开图片；Ctrl+R。",
      " 2、截取图片：右键菜单->载取图片；D。之后窗口会消失，请用鼠标框选区域。",
      " 3、调节图片大小：",
      "    （1）滚轮；（2）CTRL+鼠标左右移动；（3）按主键盘区的减号和等号键。",
      "    恢复原大小：R。",
      " 4、局部缩放：ALT＋鼠标滚轮；把鼠标放在画面上不同的位置，然后叩击ALT键；逗号、句号键。"
      "放大后的局部移动：方向键。快速放大2倍：双击画面。",
      " 5、显示菜单：鼠标右键。",
      " 6、移动窗口：拖曳图片；左右上下方向光标键。",
      " 7、透明度调节：Shift + 鼠标左右移动。主键盘区数字键0-9。不透明：空格键。",
      " 8、翻转：水平 HOME键，垂直 END键，水平加垂直 DEL键。置光标于画面上，然后显示。时间较长。"
      "翻转结束后，双击切换现图原图。",
      " 9、旋转：90°和自定义。任意角度快捷键为 ALT+鼠标移动。",
      " 9、去色：Ins键，操作同上。",
      "10、画笔工具：右键菜单->涂鸦工具。或按“P”键。",
      "    在画笔状态下，按 SHIFT+移动鼠标，或逗号句号键 调节画笔大小；按 CTRL+移动鼠标 "
      "调节画笔颜色；按 ALT+移动鼠标 窗口取色。B 键 白板。空格 填充。",
      "11、显示图片大小、透明度信息：按住 F 键不放。",
      "12、鼠标穿透：",
      "    启动：按C键或红点菜单命令。取消：红点右键菜单或按C键。",
      "13、图片避让：",
      "    （1）启动：右键菜单；",
      "    （2）取消：右键菜单；",
      "    （3）R键",
      "14、隐藏显示窗口：",
      "    隐藏：Alt+双击图片；Ctrl+H。",
      "    显示：双击红点。",
      "15、前置或后置：按 B键 切换。",
      "16、切换图片。在图片完全显示时，按方向键切换同目录下图片，图片大时请慎用。     "
      "自动浏览：S键。",
      "17、退出：图片菜单或红点菜单中相关选项。只关闭图片：ESC键。",
      "18、帮助信息：F1在图片上即时查看快捷键，F2弹出信息窗口。",
  });
  return text;
}

}  // namespace quillet::app
