#pragma once

#include <array>
#include <cstdint>

#include "doodle/colour_controls.h"
#include "doodle/doodle_state.h"
#include "platform/image/canvas.h"
#include "platform/image/picture.h"

// The doodle's stroke engine: the pointer, keys and wheel over the doodle
// window turn into pen strokes on its canvas and into what the colour window
// shows. Plain state in, drawing calls out; the window layer delivers the
// events and mirrors the panel, the look and the damaged part of the canvas.
namespace quillet::doodle {

struct BrushWidth {
  const char* caption;
  int width;
};
// The menu "笔刷", in order.
inline constexpr std::array<BrushWidth, 6> kBrushWidths{
    {{"极细", 2}, {"一号", 10}, {"二号", 20}, {"三号", 30}, {"四号", 40}, {"五号", 50}}};

struct PenColour {
  const char* caption;
  std::uint32_t colour;
};
// The menu "颜色", in order.
inline constexpr std::array<PenColour, 5> kPenColours{
    {{"黑", 0x000000}, {"白", 0xFFFFFF}, {"红", 0x0000FF}, {"绿", 0x00FF00}, {"蓝", 0xFF0000}}};

// The doodle window's size after a wheel turn over the canvas: 10 px a turn,
// the height with Alt, the width otherwise; a turn away shrinks it.
image::Size onCanvasWheel(image::Size doodleWindow, int distance, int modifiers);

class StrokeEngine {
 public:
  // `alphaLevel` is the picture window's transparency level, which a frame
  // drawn here changes too.
  StrokeEngine(DoodleState& state, image::Canvas& canvas, ColourPanel& panel, DoodleLook& look,
               int& alphaLevel);

  // Mouse handlers: positions in canvas pixels, modifiers Ctrl 1, Shift 2,
  // Alt 4 added and compared as a whole. `mainWidth` is the picture window's
  // width as it is now: Shift and Ctrl moves measure the pointer against it.
  void onCanvasLeftDown(int x, int y, int modifiers);
  void onCanvasMouseMove(int x, int y, int modifiers, int mainWidth);
  void onCanvasLeftUp(int x, int y, int modifiers);
  // The perspective part of a double click; Alt closing the window is the
  // window's own.
  void onCanvasDoubleClick(int x, int y, int modifiers);

  // Shift and Ctrl turns of the wheel over the doodle window.
  void onDoodleWheel(int distance, int modifiers);
  // Comma and period on the canvas.
  void onCanvasKeyDown(int key, int modifiers);
  // The doodle window's width keys: the digits, comma and period; false for
  // the others, which the window's keys table holds.
  bool onDoodleKeyDown(int key, int modifiers);

  // The menu "钢笔操作".
  void setCurveMode();
  void togglePressureMode();
  void setLineMode();
  void setFrameMode();
  void setPerspectiveMode();
  void toggleLineMode();
  // "笔刷": the pen alone, the colour window keeps showing what it showed.
  void setPenWidth(int width);
  // "颜色": pen, picker and preview; the boxes keep their numbers.
  void setPenColour(std::uint32_t colour);
  void clearCanvas();
  void whiteBoard();
  void blackBoard();
  void fillCanvas();

  ColourControls& colours() { return colours_; }
  // What the canvas changed since the last call, for the window to repaint.
  image::Rect takeDamage();

 private:
  void bandColour(int x, int mainWidth);
  void widthByPosition(int x, int mainWidth);
  void pickCanvasColour(int x, int y);
  void plainFreehand(int x, int y);
  void pressureFreehand(int x, int y);
  void measureStroke();
  void rampColour(int distance);
  void stepWidthSlider(int distance);
  void setWidthByKey(int width);
  void narrowPen();
  void showComponents();
  void fillBoard(std::uint32_t colour);
  void drew(image::Rect damage);

  DoodleState& state_;
  image::Canvas& canvas_;
  ColourPanel& panel_;
  DoodleLook& look_;
  int& alphaLevel_;
  ColourControls colours_;
  image::Rect damage_;
};

}  // namespace quillet::doodle
