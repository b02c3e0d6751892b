#include "app/actions.h"

#include <stdexcept>

#include "app/guide.h"
#include "app/keys.h"
#include "capture/capture.h"
#include "core/picture_files.h"
#include "core/program_end.h"
#include "doodle/doodle_window.h"
#include "help/help_window.h"
#include "notes/text_note.h"
#include "ops/gray_levels.h"
#include "ops/mirror_rotate.h"
#include "ops/view_keys.h"
#include "ops/window_modes.h"
#include "platform/ui/input.h"
#include "platform/ui/menu_icons.h"
#include "slideshow/slideshow.h"
#include "viewer/folder_navigation.h"
#include "viewer/mouse.h"

namespace quillet::app {

namespace {

namespace key = ui::key;
namespace icon = ui::icon;

// Operations that need neither the key nor anything else.
template <void (*operation)(Program&)>
void plain(Program& p, int /*key*/) {
  operation(p);
}

template <int levels>
void gray(Program& p, int /*key*/) {
  ops::reduceGrayLevels(p, levels);
}

// The modes that menu icons show.
bool layered(const Program& p) { return p.g().layeredOn == 1; }
bool avoiding(const Program& p) { return p.g().avoidanceOn == 1; }
bool topmost(const Program& p) { return p.main() && p.main()->topmost(); }
bool slideshowRunning(const Program& p) { return p.g().slideshowStarted == 1; }

std::vector<KeyBinding> digitKeys() {
  std::vector<KeyBinding> keys;
  for (int code = key::k0; code <= key::k0 + 9; ++code) keys.push_back({code});
  return keys;
}

std::vector<Action> buildTable() {
  using A = ActionId;
  std::vector<Action> t;
  auto add = [&t](Action a) { t.push_back(std::move(a)); };

  add({.id = A::CloseWindow,
       .summary = "只关闭图片",
       .keys = {{key::kEscape, Held::Nothing}},
       .run = [](Program& p, int) { p.destroyMainWindow(); },
       .when = When::InsteadOfKeys});
  add({.id = A::ToggleFrame,
       .summary = "图片细边框开关",
       .keys = {{key::letter('K')}},
       .run = plain<ops::toggleFrame>});
  add({.id = A::RestorePicture,
       .caption = "恢复原图",
       .keys = {{key::letter('R')}},
       .run = plain<ops::restorePicture>,
       .icon = {icon::kRestorePicture}});
  add({.id = A::ToggleFreeMove,
       .summary = "按住窗口任意处拖动的开关",
       .keys = {{key::letter('M')}},
       .run = plain<ops::toggleFreeMove>});
  add({.id = A::CaptureRegion,
       .caption = "截取图片",
       .keys = {{key::letter('D')}},
       .run = plain<capture::captureRegion>,
       .icon = {icon::kCaptureRegion}});
  add({.id = A::DoodleByKey,
       .summary = "涂鸦窗口，图片窗口照常可用",
       .keys = {{key::letter('P')}},
       .run = [](Program& p, int) { doodle::openDoodleWindow(p, false); }});
  add({.id = A::InfoLabel,
       .summary = "按住不放显示图片大小和透明度",
       .keys = {{key::letter('F')}},
       .run = plain<ops::showInfoLabel>,
       .releaseKeys = {key::letter('F'), key::kControl, key::kShift},
       .release = ops::hideInfoLabel});
  add({.id = A::ClickThroughByKey,
       .summary = "开始鼠标穿透",
       .keys = {{key::letter('C')}},
       .run = plain<ops::startClickThroughByKey>});
  add({.id = A::Transparency,
       .caption = "取消透明",
       .keys = {{key::kSpace}},
       .run = plain<ops::toggleTransparency>,
       .icon = {icon::kTranslucent, icon::kOpaque, layered}});
  add({.id = A::TextNote,
       .caption = "文本便签",
       .keys = {{key::letter('T')}},
       .run = plain<notes::toggleTextNote>,
       .icon = {icon::kTextNote}});
  add({.id = A::RatioLock,
       .summary = "切换是否保持图片比例",
       .keys = {{key::letter('V')}},
       .run = plain<ops::toggleRatioLock>});
  add({.id = A::OpenPicture,
       .caption = "打开图片",
       .keys = {{key::letter('R'), Held::Ctrl}},
       .run = plain<core::openPicture>,
       .icon = {icon::kOpenPicture}});
  add({.id = A::HidePicture,
       .caption = "隐藏图片",
       .keys = {{key::letter('H'), Held::Ctrl}},
       .run = plain<ops::hidePicture>,
       .icon = {icon::kHidePicture}});
  add({.id = A::Narrow,
       .summary = "窗口变窄 5 像素",
       .keys = {{key::kOemMinus}},
       .run = plain<ops::narrowWindow>});
  add({.id = A::Widen,
       .summary = "窗口变宽 5 像素",
       .keys = {{key::kOemPlus}, {key::kAdd}},
       .run = plain<ops::widenWindow>});
  add({.id = A::FitToScreen,
       .summary = "适合屏幕",
       .keys = {{key::kMultiply}},
       .run = plain<ops::fitToScreen>});
  add({.id = A::ShortcutOverlay,
       .summary = "按住不放在图片上查看快捷键",
       .keys = {{key::kF1}},
       .run = plain<ops::showShortcutOverlay>,
       .releaseKeys = {key::kF1},
       .release = ops::hideShortcutOverlay});
  add({.id = A::Avoidance,
       .caption = "图片避让",
       .keys = {{key::letter('E')}},
       .run = plain<ops::toggleAvoidance>,
       .icon = {icon::kAvoidanceOn, icon::kAvoidanceOff, avoiding}});
  add({.id = A::Help,
       .caption = "帮助信息",
       .keys = {{key::kF2}},
       .run = [](Program& p, int) { help::showHelpWindow(p, guideText()); },
       .icon = {icon::kHelp}});
  add({.id = A::CloseProgram,
       .caption = "关闭程序",
       .keys = {{key::letter('X')}},
       .run = plain<core::closeProgram>,
       .icon = {icon::kCloseProgram}});
  add({.id = A::Topmost,
       .caption = "前置后置",
       .keys = {{key::letter('B')}},
       .run = plain<ops::toggleTopmost>,
       .icon = {icon::kTopmost, icon::kNotTopmost, topmost}});
  add({.id = A::AlphaDigit,
       .summary = "透明度 1 至 9 档，0 为不透明",
       .keys = digitKeys(),
       .run = ops::setAlphaByDigit});
  add({.id = A::PreviousPicture,
       .caption = "上一幅图",
       .keys = {{key::kPageUp}},
       .run = plain<viewer::showPreviousPicture>,
       .icon = {icon::kPreviousPicture},
       .menuRunsKey = true});
  add({.id = A::NextPicture,
       .caption = "下一幅图",
       .keys = {{key::kPageDown}},
       .run = plain<viewer::showNextPicture>,
       .icon = {icon::kNextPicture},
       .menuRunsKey = true});
  add({.id = A::FreeRotate,
       .summary = "每次旋转 1°",
       .keys = {{key::kRight, Held::Alt}, {key::kLeft, Held::Alt}},
       .run = [](Program& p, int k) { ops::freeRotate(p, k == key::kRight ? 1 : -1); }});
  add({.id = A::Nudge,
       .summary = "移动图片或窗口",
       .keys = {{key::kDown, Held::NotAlt},
                {key::kUp, Held::NotAlt},
                {key::kRight, Held::NotAlt},
                {key::kLeft, Held::NotAlt}},
       .run = ops::nudge});
  add({.id = A::Slideshow,
       .caption = "自动浏览",
       .keys = {{key::letter('S')}},
       .run = plain<slideshow::toggleSlideshow>,
       .icon = {icon::kSlideshowRunning, icon::kSlideshowIdle, slideshowRunning}});
  add({.id = A::ZoomInByTwo,
       .summary = "局部放大",
       .keys = {{key::kOemPeriod}},
       .run = plain<ops::zoomInByTwo>});
  add({.id = A::ZoomOutByTwo,
       .summary = "局部缩小，未放大时窗口变窄",
       .keys = {{key::kOemComma}},
       .run = [](Program& p, int) {
         // Without a local zoom to shrink, the comma is the minus key.
         if (!ops::zoomOutByTwo(p)) onMainKeyDown(p, key::kOemMinus, 0);
       }});
  add({.id = A::MirrorHorizontal,
       .caption = "水平",
       .keys = {{key::kHome}},
       .run = plain<ops::mirrorHorizontal>,
       .when = When::WholePicture});
  add({.id = A::MirrorVertical,
       .caption = "纵向",
       .keys = {{key::kEnd}},
       .run = plain<ops::mirrorVertical>,
       .when = When::WholePicture});
  add({.id = A::MirrorDiagonal,
       .caption = "对角",
       .keys = {{key::kDelete}},
       .run = plain<ops::mirrorDiagonal>,
       .when = When::WholePicture});
  add({.id = A::GrayFromKey,
       .caption = "灰度去色",
       .keys = {{key::kInsert}},
       .run = plain<ops::grayFromKey>,
       .icon = {icon::kGrayLevels},
       .when = When::WholePicture});

  add({.id = A::Mirror, .caption = "镜像翻转", .icon = {icon::kMirror}});
  add({.id = A::Rotate, .caption = "角度旋转", .icon = {icon::kRotate}});
  add({.id = A::RotateRightAngle, .caption = "直角", .run = plain<ops::rotateRightAngle>});
  add({.id = A::RotateByAngle, .caption = "自定", .run = plain<ops::rotateByAngle>});
  add({.id = A::Gray2, .caption = "值为2", .run = gray<2>});
  add({.id = A::Gray4, .caption = "值为4", .run = gray<4>});
  add({.id = A::Gray8, .caption = "值为8", .run = gray<8>});
  add({.id = A::Gray16, .caption = "值为16", .run = gray<16>});
  add({.id = A::Gray32, .caption = "值为32", .run = gray<32>});
  add({.id = A::Gray64, .caption = "值为64", .run = gray<64>});
  add({.id = A::Gray128, .caption = "值为128", .run = gray<128>});
  add({.id = A::GrayCustom, .caption = "自定义", .run = plain<ops::askGrayLevels>});
  add({.id = A::GrayRestore, .caption = "还原", .run = plain<ops::restoreColours>});
  add({.id = A::RatioMode,
       .caption = "改变比例",
       .run = plain<ops::toggleRatioMode>,
       .icon = {icon::kRatioMode}});
  add({.id = A::Doodle,
       .caption = "涂鸦工具",
       .run = [](Program& p, int) { doodle::openDoodleWindow(p, true); },
       .icon = {icon::kDoodle}});
  add({.id = A::ClickThrough,
       .caption = "鼠标穿透",
       .run = plain<ops::startClickThrough>,
       .icon = {icon::kClickThrough}});
  add({.id = A::AltRelease,
       .summary = "鼠标放在画面上叩击",
       .releaseKeys = {key::kMenu},
       .release = viewer::onAltReleased});
  return t;
}

}  // namespace

bool KeyBinding::matches(int key, int modifiers) const {
  if (key != code) return false;
  switch (held) {
    case Held::Any:
      return true;
    case Held::Nothing:
      return modifiers == 0;
    case Held::Ctrl:
      return modifiers == ui::kCtrl;
    case Held::Alt:
      return modifiers == ui::kAlt;
    case Held::NotAlt:
      return modifiers != ui::kAlt;
  }
  return false;
}

const std::vector<Action>& actions() {
  static const std::vector<Action> table = buildTable();
  return table;
}

const Action& action(ActionId id) {
  for (const Action& a : actions()) {
    if (a.id == id) return a;
  }
  throw std::logic_error("action missing from the table");
}

void runFromMenu(Program& p, ActionId id) {
  const Action& a = action(id);
  if (a.menuRunsKey && !a.keys.empty()) {
    onMainKeyDown(p, a.keys.front().code, 0);
  } else if (a.run && p.main()) {
    a.run(p, 0);
  }
}

}  // namespace quillet::app
