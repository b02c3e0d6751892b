#include "platform/image/canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

namespace quillet::image {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kRed = 0x0000FF;

// Every pixel shown, row by row, as 0x00BBGGRR.
std::vector<std::uint32_t> shown(const Canvas& c) {
  std::vector<std::uint32_t> out;
  for (int y = 0; y < c.height(); ++y) {
    for (int x = 0; x < c.width(); ++x) out.push_back(c.pixel(x, y));
  }
  return out;
}

// A picture with a different colour at every pixel.
Bitmap gradient(int width, int height) {
  Bitmap b{width, height, Bytes(static_cast<std::size_t>(width) * height * 3)};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = b.row(y) + 3 * x;
      p[0] = static_cast<std::uint8_t>(10 + x);
      p[1] = static_cast<std::uint8_t>(20 + y);
      p[2] = static_cast<std::uint8_t>(x * y);
    }
  }
  return b;
}

std::uint32_t gradientColour(int x, int y) {
  return static_cast<std::uint32_t>((10 + x) & 0xFF) |
         static_cast<std::uint32_t>((20 + y) & 0xFF) << 8 |
         static_cast<std::uint32_t>((x * y) & 0xFF) << 16;
}

// How many pixels of `colour` a column or row holds.
int countInColumn(const Canvas& c, int x, std::uint32_t colour) {
  int n = 0;
  for (int y = 0; y < c.height(); ++y) n += c.pixel(x, y) == colour;
  return n;
}
int countInRow(const Canvas& c, int y, std::uint32_t colour) {
  int n = 0;
  for (int x = 0; x < c.width(); ++x) n += c.pixel(x, y) == colour;
  return n;
}

// The smallest rectangle holding every pixel that differs between the two.
Rect changed(const Canvas& c, const std::vector<std::uint32_t>& before) {
  const std::vector<std::uint32_t> after = shown(c);
  Rect r;
  for (int y = 0; y < c.height(); ++y) {
    for (int x = 0; x < c.width(); ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * c.width() + x;
      if (after[i] != before[i]) r = unite(r, {x, y, 1, 1});
    }
  }
  return r;
}

TEST(Canvas, FreehandStroke_RightAfterCreation_IsBlackAndFivePixelsWide) {
  Canvas c(200, 120);
  // A stroke as the pointer draws it: short segments, each from the last end.
  const int points[][2] = {{20, 60}, {26, 60}, {33, 61}, {40, 60}, {47, 60}, {60, 60}};
  for (std::size_t i = 1; i < std::size(points); ++i) {
    c.segment(points[i - 1][0], points[i - 1][1], points[i][0], points[i][1]);
  }
  EXPECT_EQ(c.pixel(30, 60), kBlack);
  EXPECT_EQ(countInColumn(c, 23, kBlack), 5);
  EXPECT_EQ(countInColumn(c, 55, kBlack), 5);
  for (int x = 20; x <= 60; ++x) ASSERT_EQ(c.pixel(x, 60), kBlack) << "gap at x " << x;

  Canvas down(120, 200);
  down.segment(50, 20, 50, 40);
  down.segment(50, 40, 51, 70);
  EXPECT_EQ(countInRow(down, 30, kBlack), 5);
  EXPECT_EQ(countInRow(down, 60, kBlack), 5);
}

TEST(Canvas, Segment_IsAsWideAsThePen_AndAtLeastOnePixel) {
  struct Case {
    int pen;
    int measured;
  };
  for (const Case& k : std::vector<Case>{
           {1, 1}, {2, 2}, {3, 3}, {4, 4}, {6, 6}, {7, 7}, {50, 50}, {0, 1}, {-3, 1}}) {
    SCOPED_TRACE(k.pen);
    Canvas c(200, 200);
    c.setPenWidth(k.pen);
    EXPECT_EQ(c.penWidth(), k.pen);
    c.segment(20, 150, 190, 150);
    c.segment(40, 10, 40, 60);
    EXPECT_EQ(countInColumn(c, 180, kBlack), k.measured);
    EXPECT_EQ(countInRow(c, 25, kBlack), k.measured);
  }
}

TEST(Canvas, ThinSegment_IsAPlainLine_OnePixelPerStepWithBothEnds) {
  for (const auto& [x0, y0, x1, y1] : std::vector<std::array<int, 4>>{
           {2, 3, 40, 17}, {40, 17, 2, 3}, {5, 5, 5, 5}, {9, 1, 3, 30}, {0, 0, 29, 29}}) {
    SCOPED_TRACE(::testing::Message() << x0 << "," << y0 << " " << x1 << "," << y1);
    Canvas c(50, 40);
    c.setPenWidth(1);
    c.segment(x0, y0, x1, y1);
    EXPECT_EQ(c.pixel(x0, y0), kBlack);
    EXPECT_EQ(c.pixel(x1, y1), kBlack);
    const bool steep = std::abs(y1 - y0) > std::abs(x1 - x0);
    int total = 0;
    int previous = -1;
    for (int u = std::min(steep ? y0 : x0, steep ? y1 : x1);
         u <= std::max(steep ? y0 : x0, steep ? y1 : x1); ++u) {
      const int n = steep ? countInRow(c, u, kBlack) : countInColumn(c, u, kBlack);
      ASSERT_EQ(n, 1) << "step " << u;
      int at = 0;
      while ((steep ? c.pixel(at, u) : c.pixel(u, at)) != kBlack) ++at;
      if (previous >= 0) {
        EXPECT_LE(std::abs(at - previous), 1) << "step " << u;
      }
      previous = at;
      total += n;
    }
    EXPECT_EQ(total, 1 + std::max(std::abs(x1 - x0), std::abs(y1 - y0)));
  }
}

// The pixel centres within half the pen width of the line, worked out one
// pixel at a time; a pixel may differ only where it sits on the edge.
TEST(Canvas, WideSegment_CoversThePixelsWithinHalfTheWidth_WithRoundEnds) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> coordinate(-15, 75);
  std::uniform_int_distribution<int> pen(2, 23);
  for (int round = 0; round < 300; ++round) {
    Canvas c(60, 50);
    const int w = pen(random);
    const int x0 = coordinate(random), y0 = coordinate(random);
    const int x1 = round % 10 == 0 ? x0 : coordinate(random);
    const int y1 = round % 10 == 0 ? y0 : coordinate(random);
    SCOPED_TRACE(::testing::Message()
                 << "pen " << w << " from " << x0 << "," << y0 << " to " << x1 << "," << y1);
    c.setPenWidth(w);
    c.segment(x0, y0, x1, y1);
    const double shift = w % 2 == 0 ? 0.5 : 0.0;
    const double ax = x0 + shift, ay = y0 + shift, bx = x1 + shift, by = y1 + shift;
    for (int y = 0; y < c.height(); ++y) {
      for (int x = 0; x < c.width(); ++x) {
        const double dx = bx - ax, dy = by - ay;
        const double length2 = dx * dx + dy * dy;
        double t = length2 == 0 ? 0 : ((x - ax) * dx + (y - ay) * dy) / length2;
        t = std::clamp(t, 0.0, 1.0);
        const double distance = std::hypot(x - (ax + t * dx), y - (ay + t * dy));
        if (std::abs(distance - w / 2.0) < 1e-9) continue;
        ASSERT_EQ(c.pixel(x, y) == kBlack, distance < w / 2.0) << "at " << x << "," << y;
      }
    }
  }
}

TEST(Canvas, WidePen_EndsRound) {
  Canvas c(100, 100);
  c.setPenWidth(9);
  c.segment(20, 50, 50, 50);
  // A square end would reach the corner (54, 54); a round one stops short.
  EXPECT_EQ(c.pixel(54, 50), kBlack);
  EXPECT_EQ(c.pixel(55, 50), kWhite);
  EXPECT_EQ(c.pixel(53, 53), kBlack);
  EXPECT_EQ(c.pixel(54, 54), kWhite);
  EXPECT_EQ(c.pixel(16, 50), kBlack);
  EXPECT_EQ(c.pixel(15, 50), kWhite);
}

TEST(Canvas, Rectangle_HasThePenFrame_AndTheStartFillInside_CornersInAnyOrder) {
  Canvas first(100, 80);
  EXPECT_EQ(first.fillColour(), 0x800000u);
  const Rect damage = first.rectangle(20, 10, 60, 50);
  EXPECT_EQ(damage, (Rect{18, 8, 45, 45}));
  EXPECT_EQ(first.pixel(40, 30), 0x800000u);
  EXPECT_EQ(first.pixel(23, 30), 0x800000u);
  for (int x = 18; x <= 22; ++x) EXPECT_EQ(first.pixel(x, 30), kBlack) << x;
  for (int y = 48; y <= 52; ++y) EXPECT_EQ(first.pixel(40, y), kBlack) << y;
  EXPECT_EQ(first.pixel(18, 8), kBlack);  // square corners
  EXPECT_EQ(first.pixel(62, 52), kBlack);
  EXPECT_EQ(first.pixel(17, 30), kWhite);
  EXPECT_EQ(first.pixel(63, 30), kWhite);
  EXPECT_EQ(first.pixel(40, 53), kWhite);

  // An even frame lies about its edge as an even pen lies about its line.
  for (int pen : {4, 5}) {
    Canvas framed(100, 80);
    Canvas lined(100, 80);
    framed.setPenWidth(pen);
    lined.setPenWidth(pen);
    framed.rectangle(20, 10, 60, 50);
    lined.segment(20, 10, 20, 50);
    lined.segment(60, 10, 60, 50);
    for (int x = 10; x < 70; ++x) {
      EXPECT_EQ(framed.pixel(x, 30) == kBlack, lined.pixel(x, 30) == kBlack) << pen << ": " << x;
    }
  }

  Canvas reversed(100, 80);
  reversed.rectangle(60, 50, 20, 10);
  EXPECT_EQ(shown(reversed), shown(first));
  Canvas crossed(100, 80);
  crossed.rectangle(20, 50, 60, 10);
  EXPECT_EQ(shown(crossed), shown(first));

  // A frame too thick to leave an inside is all pen; a single point is a pen dot.
  Canvas thick(100, 80);
  thick.setPenWidth(30);
  thick.setPenColour(kRed);
  thick.rectangle(30, 30, 40, 40);
  EXPECT_EQ(thick.pixel(35, 35), kRed);
  thick.setPenWidth(1);
  thick.rectangle(5, 5, 5, 5);
  EXPECT_EQ(thick.pixel(5, 5), kRed);
  EXPECT_EQ(thick.pixel(6, 5), kWhite);
}

TEST(Canvas, PixelAfterSegment_IsThePenColour_AndOutsideIsNoPixel) {
  Canvas c(40, 30);
  c.setPenColour(0xFF123456);  // the high byte is no part of a colour
  EXPECT_EQ(c.penColour(), 0x123456u);
  c.segment(5, 5, 30, 20);
  EXPECT_EQ(c.pixel(5, 5), 0x123456u);
  EXPECT_EQ(c.pixel(30, 20), 0x123456u);
  EXPECT_EQ(c.pixel(39, 29), kWhite);
  for (const auto& [x, y] : std::vector<std::pair<int, int>>{
           {-1, 0}, {0, -1}, {40, 0}, {0, 30}, {INT_MIN, 0}, {0, INT_MAX}, {INT_MAX, INT_MIN}}) {
    EXPECT_EQ(c.pixel(x, y), kNoPixel) << x << "," << y;
  }
}

TEST(Canvas, Clear_BringsBackTheBackgroundPicture_WhiteBeyondIt) {
  Canvas c(80, 60);
  EXPECT_EQ(c.setBackground(gradient(50, 40)), (Rect{0, 0, 80, 60}));
  EXPECT_EQ(c.pixel(49, 39), gradientColour(49, 39));
  EXPECT_EQ(c.pixel(50, 39), kWhite);
  EXPECT_EQ(c.pixel(49, 40), kWhite);
  const std::vector<std::uint32_t> picture = shown(c);

  c.setPenWidth(12);
  c.segment(10, 10, 70, 50);
  c.fillRect(60, 2, 10, 10);
  c.rectangle(3, 45, 30, 58);
  ASSERT_NE(shown(c), picture);
  const Rect cleared = c.clear();
  EXPECT_EQ(shown(c), picture);
  EXPECT_EQ(cleared, intersect(cleared, c.bounds()));
  EXPECT_TRUE(cleared.contains(10, 10) && cleared.contains(70, 50) && cleared.contains(3, 58));
  EXPECT_TRUE(c.clear().empty()) << "nothing was drawn since";

  // A picture larger than the canvas is cut; an empty one leaves white.
  c.setBackground(gradient(100, 100));
  EXPECT_EQ(c.pixel(79, 59), gradientColour(79, 59));
  c.setBackground(Bitmap{});
  EXPECT_EQ(shown(c), std::vector<std::uint32_t>(80 * 60, kWhite));
}

TEST(Canvas, NewBackground_SlidesUnderTheStrokes) {
  Canvas c(60, 40);
  c.setBackground(gradient(60, 40));
  c.setPenColour(kRed);
  c.setPenWidth(3);
  c.segment(10, 20, 50, 20);
  Bitmap plain{60, 40, Bytes(60 * 40 * 3, 0x40)};
  c.setBackground(plain);
  EXPECT_EQ(c.pixel(30, 20), kRed);
  EXPECT_EQ(c.pixel(30, 21), kRed);
  EXPECT_EQ(c.pixel(30, 22), 0x404040u);
  EXPECT_EQ(c.pixel(5, 5), 0x404040u);
  c.clear();
  EXPECT_EQ(shown(c), std::vector<std::uint32_t>(60 * 40, 0x404040u));
  // What was cleared stays gone under the next picture too.
  c.segment(2, 20, 3, 20);
  c.setBackground(gradient(60, 40));
  EXPECT_EQ(c.pixel(30, 20), gradientColour(30, 20));
  EXPECT_EQ(c.pixel(2, 20), kRed);

  // A buffer shorter than the size says gives only the rows it holds.
  Bitmap shortOne = gradient(60, 40);
  shortOne.rgb.resize(60 * 3 * 10 + 7);
  c.setBackground(shortOne);
  EXPECT_EQ(c.pixel(3, 9), gradientColour(3, 9));
  EXPECT_EQ(c.pixel(3, 10), kWhite);
}

TEST(Canvas, FillRect_CoversTheBackground_AndNothingOutsideIt) {
  Canvas c(50, 40);
  c.setBackground(gradient(50, 40));
  EXPECT_EQ(c.fillRect(0, 0, 50, 40), c.bounds());
  EXPECT_EQ(shown(c), std::vector<std::uint32_t>(50 * 40, 0x800000u));

  c.clear();
  c.setFillColour(kRed);
  EXPECT_EQ(c.fillRect(10, 5, 3, 2), (Rect{10, 5, 3, 2}));
  EXPECT_EQ(c.pixel(10, 5), kRed);
  EXPECT_EQ(c.pixel(12, 6), kRed);
  EXPECT_EQ(c.pixel(13, 6), gradientColour(13, 6));
  EXPECT_EQ(c.pixel(12, 7), gradientColour(12, 7));
  for (const Rect& nothing : std::vector<Rect>{{5, 5, 0, 9}, {5, 5, 9, -1}, {-9, 5, 9, 9}}) {
    EXPECT_TRUE(c.fillRect(nothing.left, nothing.top, nothing.width, nothing.height).empty());
  }
  EXPECT_EQ(c.pixel(0, 5), gradientColour(0, 5));
}

TEST(Canvas, Damage_HoldsEveryChangedPixel_CutToTheCanvas) {
  struct Case {
    const char* what;
    int pen;
    std::function<Rect(Canvas&)> draw;
    std::function<void(Canvas&)> before = [](Canvas&) {};
  };
  const std::vector<Case> cases = {
      {"thin inside", 1, [](Canvas& c) { return c.segment(3, 4, 30, 9); }},
      {"thin across", 1, [](Canvas& c) { return c.segment(-20, 35, 90, -5); }},
      {"wide inside", 7, [](Canvas& c) { return c.segment(20, 20, 25, 22); }},
      {"wide over the corner", 10, [](Canvas& c) { return c.segment(-5, -5, 3, 2); }},
      {"wide past the right edge", 6, [](Canvas& c) { return c.segment(55, 10, 80, 30); }},
      {"dot", 9, [](Canvas& c) { return c.segment(59, 39, 59, 39); }},
      {"rectangle over the edge", 4, [](Canvas& c) { return c.rectangle(40, 30, 70, 50); }},
      {"fill over the edge", 1, [](Canvas& c) { return c.fillRect(-3, 35, 10, 10); }},
      {"clear", 5, [](Canvas& c) { return c.clear(); },
       [](Canvas& c) {
         c.setBackground(gradient(60, 40));
         c.segment(5, 5, 15, 15);
         c.clear();
         c.segment(40, 8, 50, 12);
         c.rectangle(50, 30, 58, 36);
       }},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    Canvas c(60, 40);
    c.setPenWidth(k.pen);
    k.before(c);
    const std::vector<std::uint32_t> before = shown(c);
    const Rect damage = k.draw(c);
    const Rect change = changed(c, before);
    ASSERT_FALSE(change.empty());
    EXPECT_EQ(unite(damage, change), damage) << "a change outside the damage";
    EXPECT_EQ(intersect(damage, c.bounds()), damage) << "damage beyond the canvas";
  }
  // On white, with a black pen, what is painted is what changes: nothing more is damaged.
  Canvas c(60, 40);
  c.setPenWidth(8);
  const std::vector<std::uint32_t> before = shown(c);
  const Rect damage = c.segment(10, 12, 33, 20);
  EXPECT_EQ(damage, changed(c, before));

  for (const auto& [x0, y0, x1, y1] : std::vector<std::array<int, 4>>{
           {-30, -30, -10, -20}, {70, 5, 90, 35}, {5, 55, 50, 48}, {-40, 20, 10, -30}}) {
    Canvas away(60, 40);
    away.setPenWidth(9);
    EXPECT_TRUE(away.segment(x0, y0, x1, y1).empty());
    EXPECT_TRUE(away.rectangle(x0, y0 - 100, x1, y1 - 100).empty());
    EXPECT_EQ(shown(away), std::vector<std::uint32_t>(60 * 40, kWhite));
  }
}

TEST(Canvas, HostileCoordinatesAndWidths_StayOnTheCanvas) {
  const int ends[] = {INT_MIN, INT_MIN + 1, -1'000'000'000, -1, 0, 31, 1'000'000'000, INT_MAX};
  for (int width : {1, 2, 5, 64, 1'000'000, INT_MAX, INT_MIN}) {
    Canvas c(64, 48);
    c.setPenWidth(width);
    for (int a : ends) {
      for (int b : ends) {
        for (const Rect& r : {c.segment(a, b, b, a), c.segment(a, a, b, b), c.segment(a, 20, b, 20),
                              c.rectangle(a, b, b, a), c.fillRect(a, b, b, a)}) {
          ASSERT_EQ(intersect(r, c.bounds()), r) << width << ": " << a << ", " << b;
        }
      }
    }
  }

  // The parts that cross the canvas are drawn where they cross it.
  Canvas c(64, 48);
  c.segment(INT_MIN, 20, INT_MAX, 20);
  EXPECT_EQ(countInRow(c, 20, kBlack), 64);
  EXPECT_EQ(countInColumn(c, 0, kBlack), 5);
  c.clear();
  c.setPenWidth(1);
  c.segment(10, INT_MIN, 10, INT_MAX);
  EXPECT_EQ(countInColumn(c, 10, kBlack), 48);
  EXPECT_EQ(countInRow(c, 0, kBlack), 1);
  c.clear();
  c.segment(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  EXPECT_EQ(countInColumn(c, 30, kBlack), 1);
  c.clear();
  c.setPenWidth(INT_MAX);
  EXPECT_EQ(c.segment(30, 30, 30, 30), c.bounds());
  EXPECT_EQ(countInRow(c, 47, kBlack), 64);
  c.clear();
  c.setPenWidth(5);
  EXPECT_EQ(c.rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX), c.bounds());
  EXPECT_EQ(shown(c), std::vector<std::uint32_t>(64 * 48, 0x800000u));
  c.clear();
  EXPECT_TRUE(c.fillRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX).empty());
  EXPECT_EQ(c.fillRect(INT_MAX, INT_MAX, INT_MAX, INT_MAX), Rect{});
}

TEST(Canvas, Size_IsCutToTheLimits_AndAnEmptyCanvasDrawsNothing) {
  EXPECT_EQ(Canvas::fittedSize(3840, 2160), (Size{3840, 2160}));
  EXPECT_EQ(Canvas::fittedSize(INT_MAX, 3), (Size{kMaxCanvasSide, 3}));
  EXPECT_EQ(Canvas::fittedSize(3, INT_MAX), (Size{3, kMaxCanvasSide}));
  const Size big = Canvas::fittedSize(kMaxCanvasSide, kMaxCanvasSide);
  EXPECT_EQ(big.width, kMaxCanvasSide);
  EXPECT_LE(std::int64_t{big.width} * big.height, kMaxCanvasPixels);
  EXPECT_GT(std::int64_t{big.width} * (big.height + 1), kMaxCanvasPixels);
  for (const auto& [w, h] :
       std::vector<std::pair<int, int>>{{0, 10}, {10, 0}, {-5, -5}, {INT_MIN, 9}}) {
    EXPECT_EQ(Canvas::fittedSize(w, h), Size{});
    Canvas c(w, h);
    EXPECT_EQ(c.width(), 0);
    EXPECT_EQ(c.height(), 0);
    EXPECT_TRUE(c.segment(0, 0, 5, 5).empty());
    EXPECT_TRUE(c.rectangle(0, 0, 5, 5).empty());
    EXPECT_TRUE(c.fillRect(0, 0, 5, 5).empty());
    EXPECT_TRUE(c.setBackground(gradient(4, 4)).empty());
    EXPECT_TRUE(c.clear().empty());
    EXPECT_EQ(c.pixel(0, 0), kNoPixel);
    EXPECT_TRUE(c.toBitmap().empty());
  }
  Canvas wide(INT_MAX, 2);
  EXPECT_EQ(wide.width(), kMaxCanvasSide);
  wide.setPenWidth(1);
  EXPECT_EQ(wide.segment(kMaxCanvasSide - 1, 0, kMaxCanvasSide + 9, 0),
            (Rect{kMaxCanvasSide - 1, 0, 1, 1}));
}

TEST(Canvas, Export_GivesTheComposedImage_AsRgbBytes_AndPaintWordsAsRgb32) {
  Canvas c(30, 20);
  c.setBackground(gradient(30, 20));
  c.setPenWidth(1);
  c.setPenColour(kRed);
  c.segment(0, 0, 29, 0);
  const Bitmap whole = c.toBitmap();
  ASSERT_EQ(whole.width, 30);
  ASSERT_EQ(whole.height, 20);
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 30; ++x) {
      const std::uint8_t* p = whole.row(y) + 3 * x;
      const std::uint32_t colour = p[0] | p[1] << 8 | p[2] << 16;
      ASSERT_EQ(colour, c.pixel(x, y)) << x << "," << y;
    }
  }
  EXPECT_EQ(c.pixels()[5], 0xFFFF0000u);
  EXPECT_EQ(c.row(0)[5], 0xFFFF0000u);
  EXPECT_EQ(c.row(1).size(), 30u);
  EXPECT_EQ(c.row(1)[2], 0xFF000000u | (12u << 16) | (21u << 8) | 2u);
  EXPECT_TRUE(c.row(20).empty());
  EXPECT_TRUE(c.row(-1).empty());

  const Bitmap part = c.toBitmap({25, 15, 10, 10});
  ASSERT_EQ(part.width, 5);
  ASSERT_EQ(part.height, 5);
  EXPECT_EQ(part.row(0)[0], 10 + 25);
  EXPECT_EQ(part.row(4)[3 * 4 + 1], 20 + 19);
  EXPECT_TRUE(c.toBitmap({30, 0, 5, 5}).empty());
}

TEST(Canvas, Resize_KeepsTheSharedPart_WithItsStrokes) {
  Canvas c(40, 30);
  c.setBackground(gradient(40, 30));
  c.setPenWidth(1);
  c.segment(0, 5, 39, 5);
  EXPECT_TRUE(c.resize(40, 30).empty());
  EXPECT_EQ(c.resize(20, 50), (Rect{0, 0, 20, 50}));
  EXPECT_EQ(c.pixel(19, 5), kBlack);
  EXPECT_EQ(c.pixel(19, 29), gradientColour(19, 29));
  EXPECT_EQ(c.pixel(19, 30), kWhite);
  EXPECT_EQ(c.pixel(20, 5), kNoPixel);
  c.clear();
  EXPECT_EQ(c.pixel(19, 5), gradientColour(19, 5));
  c.segment(0, 49, 19, 49);
  EXPECT_EQ(c.clear(), (Rect{0, 49, 20, 1}));
}

}  // namespace
}  // namespace quillet::image
