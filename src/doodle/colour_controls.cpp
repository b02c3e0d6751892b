#include "doodle/colour_controls.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <utility>

namespace quillet::doodle {
namespace {

constexpr int kSnapDistance = 30;
constexpr int kBoxWheelStep = 25;
// Far beyond any colour component, far inside int: a box showing the
// largest value can still take a wheel step.
constexpr long long kBoxValueLimit = 1'000'000'000;

int component(int value) { return std::clamp(value, 0, 255); }

}  // namespace

int splitColour(std::uint32_t colour, int part) {
  if (part < 1 || part > 3) return 0;
  return static_cast<int>((colour >> (8 * (part - 1))) & 0xFF);
}

std::uint32_t colourOf(int red, int green, int blue) {
  return static_cast<std::uint32_t>(component(red)) |
         static_cast<std::uint32_t>(component(green)) << 8 |
         static_cast<std::uint32_t>(component(blue)) << 16;
}

int boxValue(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = std::min(value * 10 + (text[i] - '0'), kBoxValueLimit);
  }
  return static_cast<int>(negative ? -value : value);
}

Position colourWindowPlace(const WindowRect& main, int colourWidth, const WindowRect& monitor) {
  Position at{main.left - colourWidth, main.top};
  if (at.left < monitor.left) at.left = main.left + main.width;
  if (at.top < monitor.top) at.top = monitor.top;
  return at;
}

std::optional<Position> colourWindowSnap(const WindowRect& main, const WindowRect& colour) {
  const long long gap =
      static_cast<long long>(main.left) - (static_cast<long long>(colour.left) + colour.width);
  if (gap <= 0 || gap >= kSnapDistance) return std::nullopt;
  return Position{main.left - colour.width, main.top};
}

ColourControls::ColourControls(ColourState& state, image::Canvas& canvas, ColourPanel& panel)
    : state_(state), canvas_(canvas), panel_(panel) {}

void ColourControls::onColourCreated() {
  state_.colourWindowOpened = 1;
  canvas_.setPenColour(panel_.picker);
}

void ColourControls::setBoxText(Box box, std::string text) {
  panel_.boxes[static_cast<std::size_t>(box)] = std::move(text);
  onBoxChanged();
}

void ColourControls::onBoxChanged() {
  if (state_.pickerFocused == 1) return;
  // A typed value stays in its box as typed; only the colour holds it to 0..255.
  state_.boxColour =
      colourOf(boxValue(panel_.boxes[0]), boxValue(panel_.boxes[1]), boxValue(panel_.boxes[2]));
  panel_.picker = state_.boxColour;
  panel_.preview.colour = state_.boxColour;
  canvas_.setPenColour(state_.boxColour);
  canvas_.setFillColour(state_.boxColour);
}

void ColourControls::onBoxFocused(Box box) {
  state_.sliderTarget = {};
  state_.sliderTarget[static_cast<std::size_t>(box)] = 1;
  state_.pickerFocused = 0;
}

void ColourControls::onPickerFocus(bool focused) { state_.pickerFocused = focused ? 1 : 0; }

void ColourControls::onBoxWheel(Box box, int distance) {
  const int value = boxValue(panel_.boxes[static_cast<std::size_t>(box)]);
  if (distance < 0) {
    setBoxText(box, std::to_string(value + kBoxWheelStep));
    if (value + kBoxWheelStep > 255) setBoxText(box, "255");
  } else {
    setBoxText(box, std::to_string(value - kBoxWheelStep));
    if (value - kBoxWheelStep < 0) setBoxText(box, "0");
  }
}

void ColourControls::onColourSliderPressed() {
  if (std::ranges::find(state_.sliderTarget, 1) == state_.sliderTarget.end()) {
    state_.sliderTarget = {1, 0, 0};
  }
}

void ColourControls::onColourSliderChanged(int position) {
  panel_.colourSlider = std::clamp(position, 0, kColourSliderMax);
  for (std::size_t i = 0; i < state_.sliderTarget.size(); ++i) {
    if (state_.sliderTarget[i] == 1) {
      setBoxText(static_cast<Box>(i), std::to_string(panel_.colourSlider));
      return;
    }
  }
}

void ColourControls::onWidthSliderChanged(int position) {
  panel_.widthSlider = std::clamp(position, kWidthSliderMin, kWidthSliderMax);
  panel_.preview.caption = std::to_string(panel_.widthSlider);
  canvas_.setPenWidth(panel_.widthSlider);
  panel_.preview.width = panel_.widthSlider;
  panel_.preview.height = panel_.widthSlider;
  panel_.preview.colour = panel_.picker;
}

void ColourControls::choosePickerColour(std::uint32_t colour) {
  panel_.picker = colour & 0xFFFFFF;
  onPickerChanged();
}

void ColourControls::onPickerChanged() {
  canvas_.setPenColour(panel_.picker);
  panel_.preview.colour = panel_.picker;
  if (state_.pickerFocused != 1) return;
  for (int part = 1; part <= 3; ++part) {
    setBoxText(static_cast<Box>(part - 1), std::to_string(splitColour(panel_.picker, part)));
  }
}

}  // namespace quillet::doodle
