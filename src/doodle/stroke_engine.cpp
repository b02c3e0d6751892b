#include "doodle/stroke_engine.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <string>
#include <utility>

#include "platform/ui/input.h"

namespace quillet::doodle {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;
// The colour window while the button is held, and after.
constexpr std::uint32_t kDrawingBackground = 0xFF0000;
constexpr std::uint32_t kDrawnBackground = 0x0000FF;
constexpr int kPressureFloor = 5;
constexpr int kWheelResizeStep = 10;
// A doodle window shrunk by the wheel stays big enough to turn the wheel over.
constexpr int kWheelResizeFloor = 10;
constexpr int kRampStep = 10;
constexpr int kWidthKeyStep = 2;

struct Band {
  int red, green, blue;
};
// Shift+move: the picture window's width cut into seven bands, left to right.
constexpr std::array<Band, 7> kBands{{{0, 0, 0},
                                      {0, 0, 255},
                                      {0, 255, 0},
                                      {0, 255, 255},
                                      {255, 0, 0},
                                      {255, 0, 255},
                                      {255, 255, 255}}};

// Widths grow without bound by keys; they saturate rather than wrap.
int widened(int width, int by) {
  return static_cast<int>(std::clamp(static_cast<long long>(width) + by,
                                     static_cast<long long>(INT_MIN),
                                     static_cast<long long>(INT_MAX)));
}

// One decimal, halves up, no trailing zero: 2.3, 0.5, 1. Rounded in single
// precision, where the ratio lives, so that 9/20 shows 0.5 as it reads.
std::string oneDecimal(float value) {
  const auto tenths = static_cast<long long>(std::floor(value * 10.0f + 0.5f));
  std::string text = std::to_string(tenths / 10);
  if (tenths % 10 != 0) text += "." + std::to_string(std::llabs(tenths % 10));
  return text;
}

std::string position(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }

}  // namespace

image::Size onCanvasWheel(image::Size doodleWindow, int distance, int modifiers) {
  if (distance == 0) return doodleWindow;
  int& side = modifiers == ui::kAlt ? doodleWindow.height : doodleWindow.width;
  if (distance > 0) {
    side = std::max(widened(side, -kWheelResizeStep), std::min(side, kWheelResizeFloor));
  } else {
    side = widened(side, kWheelResizeStep);
  }
  return doodleWindow;
}

StrokeEngine::StrokeEngine(DoodleState& state, image::Canvas& canvas, ColourPanel& panel,
                           DoodleLook& look, int& alphaLevel)
    : state_(state),
      canvas_(canvas),
      panel_(panel),
      look_(look),
      alphaLevel_(alphaLevel),
      colours_(state, canvas, panel) {}

image::Rect StrokeEngine::takeDamage() { return std::exchange(damage_, image::Rect{}); }

void StrokeEngine::drew(image::Rect damage) { damage_ = image::unite(damage_, damage); }

void StrokeEngine::onCanvasLeftDown(int x, int y, int /*modifiers*/) {
  state_.penDown = 1;
  panel_.background = kDrawingBackground;
  panel_.enabled = false;
  state_.strokeStart = {x, y};
  if (state_.pressureOn != 0) state_.previousPoint = {x, y};
}

void StrokeEngine::onCanvasMouseMove(int x, int y, int modifiers, int mainWidth) {
  const StrokeState& s = state_;
  if (modifiers == ui::kShift) {
    bandColour(x, mainWidth);
  } else if (modifiers == ui::kCtrl) {
    widthByPosition(x, mainWidth);
  } else if (modifiers == ui::kAlt) {
    pickCanvasColour(x, y);
  } else if (s.penDown == 1 && s.freehandMode == 1 && s.pressureOn == 0) {
    plainFreehand(x, y);
  } else if (s.penDown != 0 && s.freehandMode != 0 && s.pressureOn != 0 && s.lineMode != 1) {
    pressureFreehand(x, y);
  }
}

void StrokeEngine::bandColour(int x, int mainWidth) {
  // Strict on both sides: a pointer exactly on an edge picks no band.
  for (std::size_t k = 0; k < kBands.size(); ++k) {
    const double from = static_cast<double>(k) * mainWidth / 7.0;
    const double to = static_cast<double>(k + 1) * mainWidth / 7.0;
    if (from < x && x < to) {
      state_.penRed = kBands[k].red;
      state_.penGreen = kBands[k].green;
      state_.penBlue = kBands[k].blue;
      break;
    }
  }
  const std::uint32_t colour = colourOf(state_.penRed, state_.penGreen, state_.penBlue);
  canvas_.setPenColour(colour);
  panel_.preview.colour = panel_.picker;
  panel_.picker = colour;
  showComponents();
}

void StrokeEngine::widthByPosition(int x, int mainWidth) {
  // A picture window of no width has no scale to read a slider position from.
  if (mainWidth > 0) {
    const double wanted = static_cast<double>(x) / mainWidth * kWidthSliderMax;
    panel_.widthSlider = static_cast<int>(std::clamp(wanted, static_cast<double>(kWidthSliderMin),
                                                     static_cast<double>(kWidthSliderMax)));
  }
  canvas_.setPenWidth(x);
  state_.pressureMaxWidth = x;
  panel_.preview.width = x;
  panel_.preview.caption = std::to_string(panel_.widthSlider + 1);
}

void StrokeEngine::pickCanvasColour(int x, int y) {
  const std::uint32_t colour = canvas_.pixel(x, y);
  // Off the canvas there is no colour to take.
  if (colour == image::kNoPixel) return;
  panel_.picker = colour;
  panel_.preview.colour = colour;
  canvas_.setFillColour(colour);
  canvas_.setPenColour(colour);
  colours_.onPickerChanged();
}

void StrokeEngine::plainFreehand(int x, int y) {
  Point& last = state_.lastPoint;
  if (last.x == 0) last.x = x;
  if (last.y == 0) last.y = y;
  drew(canvas_.segment(last.x, last.y, x, y));
  last = {x, y};
  panel_.status = position(x, y);
}

void StrokeEngine::pressureFreehand(int x, int y) {
  Point& last = state_.lastPoint;
  if (last.x == 0) last.x = x;
  if (last.y == 0) last.y = y;
  const double d =
      std::abs(static_cast<double>(x) - last.x) + std::abs(static_cast<double>(y) - last.y);
  const int widest = state_.pressureMaxWidth;
  // The faster the pointer, the thinner the pen, down to the floor; faster
  // still folds back up, never past the widest.
  double width = std::abs(widest - d / 2.0);
  if (width > widest) width = widest;
  canvas_.setPenWidth(std::max(static_cast<int>(width), kPressureFloor));
  drew(canvas_.segment(last.x, last.y, state_.previousPoint.x, state_.previousPoint.y));
  last = state_.previousPoint;
  panel_.status = position(x, y);
  state_.previousPoint = {x, y};
}

void StrokeEngine::onCanvasLeftUp(int x, int y, int /*modifiers*/) {
  StrokeState& s = state_;
  s.penDown = 0;
  panel_.background = kDrawnBackground;
  panel_.enabled = true;
  s.lastPoint = {};
  s.strokeEnd = {x, y};
  measureStroke();
  if (s.lineMode == 1 && s.frameMode == 0 && s.perspectiveMode == 0 && s.freehandMode == 0) {
    drew(canvas_.segment(s.strokeStart.x, s.strokeStart.y, s.strokeEnd.x, s.strokeEnd.y));
  }
  if (s.perspectiveMode == 1 && s.lineMode == 0 && s.frameMode == 0) {
    drew(canvas_.segment(s.vanishingPoint.x, s.vanishingPoint.y, x, y));
  }
  if (s.frameMode == 1 && s.perspectiveMode == 0 && s.lineMode == 0) {
    alphaLevel_ = 200;
    look_.layered = true;
    look_.alpha = 200;
    drew(canvas_.rectangle(s.strokeStart.x, s.strokeStart.y, s.strokeEnd.x, s.strokeEnd.y));
  }
}

void StrokeEngine::measureStroke() {
  const double dx = static_cast<double>(state_.strokeEnd.x) - state_.strokeStart.x;
  const double dy = static_cast<double>(state_.strokeEnd.y) - state_.strokeStart.y;
  const int length = static_cast<int>(std::min(std::sqrt(dx * dx + dy * dy), double{INT_MAX}));
  const float ratio =
      state_.lastStrokeLength != 0
          ? static_cast<float>(static_cast<double>(length) / state_.lastStrokeLength)
          : 1.0f;
  panel_.status = "距：" + std::to_string(length) + "\r\n比：" + oneDecimal(ratio);
  state_.lastStrokeLength = length;
}

void StrokeEngine::onCanvasDoubleClick(int x, int y, int /*modifiers*/) {
  if (state_.perspectiveMode == 1) state_.vanishingPoint = {x, y};
}

void StrokeEngine::onDoodleWheel(int distance, int modifiers) {
  if (modifiers == ui::kShift) {
    rampColour(distance);
  } else if (modifiers == ui::kCtrl) {
    stepWidthSlider(distance);
  }
}

void StrokeEngine::rampColour(int distance) {
  int& r = state_.penRed;
  int& g = state_.penGreen;
  int& b = state_.penBlue;
  // Up: black, the reds, the yellows, white, then round again from blue;
  // down runs the same way back.
  if (distance > 0) {
    r += kRampStep;
    if (r > 255) {
      r = 255;
      g += kRampStep;
    }
    if (g > 255) {
      g = 255;
      b += kRampStep;
    }
    if (b > 255) {
      b = 255;
      g = 0;
      r = kRampStep;
    }
  } else if (distance < 0) {
    r -= kRampStep;
    if (r < 0) {
      r = 0;
      g -= kRampStep;
    }
    if (g < 0) {
      g = 0;
      b -= kRampStep;
    }
    if (b < 0) {
      b = 0;
      g = 255;
      r = 255 - kRampStep;
    }
  }
  const std::uint32_t colour = colourOf(r, g, b);
  canvas_.setPenColour(colour);
  panel_.picker = colour;
  showComponents();
}

void StrokeEngine::stepWidthSlider(int distance) {
  int wanted = panel_.widthSlider;
  if (distance < 0) {
    ++wanted;
    if (wanted > kWidthSliderMax - 1) wanted = kWidthSliderMax;
  } else if (distance > 0) {
    --wanted;
    if (wanted < 0) wanted = 0;
  }
  panel_.widthSlider = std::clamp(wanted, kWidthSliderMin, kWidthSliderMax);
  canvas_.setPenWidth(panel_.widthSlider);
  panel_.preview.width = canvas_.penWidth();
  panel_.preview.caption = std::to_string(panel_.widthSlider + 1);
}

void StrokeEngine::showComponents() {
  colours_.setBoxText(Box::Red, std::to_string(state_.penRed));
  colours_.setBoxText(Box::Green, std::to_string(state_.penGreen));
  colours_.setBoxText(Box::Blue, std::to_string(state_.penBlue));
}

void StrokeEngine::narrowPen() {
  // The preview takes the width the pen keeps: a label has no negative size.
  const int width = std::max(widened(canvas_.penWidth(), -kWidthKeyStep), 0);
  canvas_.setPenWidth(width);
  panel_.preview.width = width;
  panel_.preview.height = width;
}

void StrokeEngine::onCanvasKeyDown(int key, int /*modifiers*/) {
  if (key == ui::key::kOemComma) {
    narrowPen();
  } else if (key == ui::key::kOemPeriod) {
    canvas_.setPenWidth(widened(canvas_.penWidth(), kWidthKeyStep));
  }
}

bool StrokeEngine::onDoodleKeyDown(int key, int /*modifiers*/) {
  if (key >= ui::key::k0 + 1 && key <= ui::key::k0 + 9) {
    setWidthByKey(2 + 5 * (key - ui::key::k0 - 1));
    return true;
  }
  switch (key) {
    case ui::key::k0:
      setWidthByKey(47);
      return true;
    case ui::key::kOemComma:
      narrowPen();
      return true;
    case ui::key::kOemPeriod: {
      const int width = widened(canvas_.penWidth(), kWidthKeyStep);
      canvas_.setPenWidth(width);
      panel_.preview.width = width;
      panel_.preview.height = width;
      return true;
    }
    default:
      return false;
  }
}

void StrokeEngine::setWidthByKey(int width) {
  canvas_.setPenWidth(width);
  panel_.preview.width = width;
  panel_.preview.caption = std::to_string(width);
}

namespace {

// The four drawing modes exclude one another when one is chosen from the menu.
void chooseMode(StrokeState& s, int StrokeState::*mode) {
  s.freehandMode = s.lineMode = s.frameMode = s.perspectiveMode = 0;
  s.*mode = 1;
}

}  // namespace

void StrokeEngine::setCurveMode() { chooseMode(state_, &StrokeState::freehandMode); }

void StrokeEngine::togglePressureMode() {
  setCurveMode();
  state_.pressureOn = 1 - state_.pressureOn;
}

void StrokeEngine::setLineMode() { chooseMode(state_, &StrokeState::lineMode); }

void StrokeEngine::setFrameMode() {
  chooseMode(state_, &StrokeState::frameMode);
  canvas_.setPenColour(kBlack);
}

void StrokeEngine::setPerspectiveMode() { chooseMode(state_, &StrokeState::perspectiveMode); }

void StrokeEngine::toggleLineMode() {
  state_.lineMode = 1 - state_.lineMode;
  if (state_.lineMode == 1) state_.perspectiveMode = 0;
}

void StrokeEngine::setPenWidth(int width) { canvas_.setPenWidth(width); }

void StrokeEngine::setPenColour(std::uint32_t colour) {
  canvas_.setPenColour(colour);
  panel_.picker = colour & 0xFFFFFF;
  panel_.preview.colour = colour & 0xFFFFFF;
}

void StrokeEngine::clearCanvas() { drew(canvas_.clear()); }

void StrokeEngine::fillBoard(std::uint32_t colour) {
  canvas_.setFillColour(colour);
  drew(canvas_.fillRect(0, 0, canvas_.width(), canvas_.height()));
}

void StrokeEngine::whiteBoard() {
  fillBoard(kWhite);
  if (canvas_.penColour() == kWhite) canvas_.setPenColour(kBlack);
}

void StrokeEngine::blackBoard() {
  fillBoard(kBlack);
  if (canvas_.penColour() == kBlack) canvas_.setPenColour(kWhite);
}

void StrokeEngine::fillCanvas() {
  fillBoard(panel_.picker);
  canvas_.setPenColour(canvas_.fillColour() == kBlack ? kWhite : kBlack);
}

}  // namespace quillet::doodle
