#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/image/picture.h"

// The doodle window's drawing surface: a background picture on white, and
// what the pen has drawn over it. Every coordinate and width is untrusted
// (pointer positions from outside the window, widths grown without bound by
// keys); each primitive clips before it touches memory, so none can write
// out of bounds, overflow or take longer than the canvas has rows.
namespace quillet::image {

// A rectangle of pixels; left and top included, width and height counted.
struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  bool empty() const { return width <= 0 || height <= 0; }
  bool contains(int x, int y) const {
    return !empty() && x >= left && y >= top && std::int64_t{x} - left < width &&
           std::int64_t{y} - top < height;
  }
  bool operator==(const Rect&) const = default;
};

// The smallest rectangle holding both; an empty one adds nothing.
Rect unite(Rect a, Rect b);
// What the two have in common, or an empty rectangle.
Rect intersect(Rect a, Rect b);

// A screen-sized canvas is a few tens of MB; beyond these a size is cut down
// to them (side first, then height) rather than allocated. They leave room
// for a desktop of two 4K screens side by side.
inline constexpr int kMaxCanvasSide = 16'384;
inline constexpr std::int64_t kMaxCanvasPixels = 7'680LL * 4'320LL;

// What pixel() answers outside the canvas: no 0x00BBGGRR colour has a high byte.
inline constexpr std::uint32_t kNoPixel = 0xFFFFFFFF;

class Canvas {
 public:
  // The surface as the doodle window starts it.
  static constexpr int kStartPenWidth = 5;
  static constexpr std::uint32_t kStartPenColour = 0x000000;
  static constexpr std::uint32_t kStartFillColour = 0x800000;
  static constexpr std::uint32_t kBackgroundColour = 0xFFFFFF;

  Canvas() = default;
  // The size is fittedSize(width, height). An empty size gives an empty
  // canvas on which every primitive does nothing; so does one whose memory
  // is not there.
  Canvas(int width, int height);

  // The size a canvas asked for as `width` x `height` gets: each side cut to
  // kMaxCanvasSide, then the height to what kMaxCanvasPixels leaves; 0 x 0
  // when a side is 0 or less.
  static Size fittedSize(int width, int height);

  // Size and bounds count the raster's own pixels.
  int width() const { return width_; }
  int height() const { return height_; }
  Rect bounds() const { return {0, 0, width_, height_}; }

  // How many raster pixels make one unit of the coordinates and widths the
  // primitives and pixel() take: on a high-density screen the raster holds
  // device pixels while the pointer speaks in window pixels, so strokes stay
  // sharp. Damage rectangles, toBitmap() and setBackground() are in raster
  // pixels. A factor that is not a finite number above 0 counts as 1.
  double scale() const { return scale_; }
  void setScale(double scale);

  // A new size, for a screen that changed: the top-left part that both sizes
  // share keeps its background and its strokes, new area is white. Returns
  // the whole new canvas, or an empty rectangle when the size stays.
  Rect resize(int width, int height);

  // The attributes keep what they are given, so that a width lowered to 0
  // and raised again comes back as it was; drawing uses a width of at least
  // 1 and at most penWidthCap(). Colours are 0x00BBGGRR; a high byte is dropped.
  int penWidth() const { return penWidth_; }
  void setPenWidth(int width) { penWidth_ = width; }
  std::uint32_t penColour() const { return penColour_; }
  void setPenColour(std::uint32_t colour) { penColour_ = colour & 0xFFFFFF; }
  std::uint32_t fillColour() const { return fillColour_; }
  void setFillColour(std::uint32_t colour) { fillColour_ = colour & 0xFFFFFF; }
  // The widest pen drawn: four times width plus height. A pen that wide
  // covers the whole canvas from a segment up to a diagonal's length away,
  // and so does any wider one, so the cap shows only for segments far out.
  int penWidthCap() const;

  // Replaces the background picture, placed at the top left, cut to the
  // canvas, white where it does not reach; an empty bitmap leaves white
  // alone, and rows missing from a short buffer count as not there. What
  // was drawn stays on top, so turning to the next picture keeps the tracing.
  Rect setBackground(const Bitmap& picture);

  // Primitives; each returns the rectangle it may have changed, inside the
  // canvas, empty when it changed nothing.

  // Takes away everything drawn: the background picture shows again.
  Rect clear();
  // Fills with the fill colour; a width or height of 0 or less fills nothing.
  Rect fillRect(int left, int top, int width, int height);
  // A straight line from (x0, y0) to (x1, y1), both ends included, in the
  // pen colour. A pen of width 1 (or less) draws a plain one-pixel line; a
  // wider one covers every pixel whose centre lies within half the width of
  // the line, which gives round ends, so consecutive segments of a stroke
  // meet in round joins. An even width cannot centre on a pixel and runs
  // half a pixel right of and below the line.
  Rect segment(int x0, int y0, int x1, int y1);
  // A rectangle with corners (x0, y0) and (x1, y1), in either order: a frame
  // of pen width in the pen colour centred on the edges, square at the
  // corners, the inside in the fill colour.
  Rect rectangle(int x0, int y0, int x1, int y1);
  // The colour shown at (x, y), 0x00BBGGRR; kNoPixel outside the canvas.
  std::uint32_t pixel(int x, int y) const;

  // What a painter copies onto the screen: rows top-down, `width()` pixels
  // apiece with no padding, each a 0xFFRRGGBB word in the machine's byte
  // order, which is what toolkits' 32-bit RGB images hold, so a painter can
  // wrap these rows and copy a damaged rectangle straight out of them.
  const std::uint32_t* pixels() const { return shown_.data(); }
  std::span<const std::uint32_t> row(int y) const;

  // The composed image as R, G, B bytes for the JPEG and BMP encoders: all
  // of it, or the part of `area` on the canvas (empty when there is none).
  Bitmap toBitmap() const;
  Bitmap toBitmap(Rect area) const;

 private:
  void allocate(int width, int height);
  int drawWidth() const;
  // A coordinate given to a primitive, in raster pixels.
  std::int64_t device(int v) const;
  // Paints [left, right] x [top, bottom] (inclusive, any magnitude) with `word`.
  Rect paintBox(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                std::uint32_t word);
  void paintSpan(int y, int from, int to, std::uint32_t word);
  Rect thinLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1);
  Rect wideLine(double ax, double ay, double bx, double by, double radius);
  Rect drawn(Rect damage);

  // 32-bit words rather than Bitmap's packed triplets: painting is the hot
  // path (every pointer move), and words are what a screen image holds, so
  // a repaint is a copy with no conversion; a pen span is one fill of whole
  // words. `background_` is the picture on white, kept whole so that clear()
  // and setBackground() need no decoding; `inked_` marks the pixels drawn,
  // so that a new background can slide in under the strokes.
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> shown_;
  std::vector<std::uint32_t> background_;
  std::vector<std::uint8_t> inked_;
  // Holds every pixel drawn since the last clear, so clear() and
  // setBackground() touch only that part.
  Rect drawn_;

  double scale_ = 1.0;
  int penWidth_ = kStartPenWidth;
  std::uint32_t penColour_ = kStartPenColour;
  std::uint32_t fillColour_ = kStartFillColour;
};

}  // namespace quillet::image
