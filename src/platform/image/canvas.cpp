#include "platform/image/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace quillet::image {

namespace {

std::uint32_t toWord(std::uint32_t colour) {
  const std::uint32_t red = colour & 0xFF;
  const std::uint32_t green = (colour >> 8) & 0xFF;
  const std::uint32_t blue = (colour >> 16) & 0xFF;
  return 0xFF000000u | red << 16 | green << 8 | blue;
}

std::uint32_t toColour(std::uint32_t word) {
  const std::uint32_t red = (word >> 16) & 0xFF;
  const std::uint32_t green = (word >> 8) & 0xFF;
  const std::uint32_t blue = word & 0xFF;
  return red | green << 8 | blue << 16;
}

std::size_t at(int width, int x, int y) {
  return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
         static_cast<std::size_t>(x);
}

// Cuts the segment a-b to the part inside [xMin, xMax] x [yMin, yMax]
// (Liang and Barsky); false when none of it is inside.
bool clipSegment(double& ax, double& ay, double& bx, double& by, double xMin, double xMax,
                 double yMin, double yMax) {
  const double dx = bx - ax;
  const double dy = by - ay;
  double t0 = 0.0;
  double t1 = 1.0;
  // Keeps the t for which p * t <= q.
  const auto keep = [&](double p, double q) {
    if (p == 0.0) return q >= 0.0;
    const double t = q / p;
    if (p < 0.0) {
      if (t > t1) return false;
      t0 = std::max(t0, t);
    } else {
      if (t < t0) return false;
      t1 = std::min(t1, t);
    }
    return true;
  };
  if (!keep(-dx, ax - xMin) || !keep(dx, xMax - ax) || !keep(-dy, ay - yMin) ||
      !keep(dy, yMax - ay)) {
    return false;
  }
  const double fromX = ax;
  const double fromY = ay;
  ax = fromX + t0 * dx;
  ay = fromY + t0 * dy;
  bx = fromX + t1 * dx;
  by = fromY + t1 * dy;
  return true;
}

// The x for which lo <= c * x <= hi, as [from, to]; everything or nothing when c is 0.
struct Interval {
  double from;
  double to;
};
constexpr double kFar = 1e300;

Interval solve(double c, double lo, double hi) {
  if (c == 0.0) return lo <= 0.0 && 0.0 <= hi ? Interval{-kFar, kFar} : Interval{kFar, -kFar};
  const double u = lo / c;
  const double v = hi / c;
  return {std::min(u, v), std::max(u, v)};
}

}  // namespace

Rect unite(Rect a, Rect b) {
  if (a.empty()) return b.empty() ? Rect{} : b;
  if (b.empty()) return a;
  const std::int64_t left = std::min(a.left, b.left);
  const std::int64_t top = std::min(a.top, b.top);
  const std::int64_t right =
      std::max(std::int64_t{a.left} + a.width, std::int64_t{b.left} + b.width);
  const std::int64_t bottom =
      std::max(std::int64_t{a.top} + a.height, std::int64_t{b.top} + b.height);
  return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
          static_cast<int>(bottom - top)};
}

Rect intersect(Rect a, Rect b) {
  if (a.empty() || b.empty()) return {};
  const std::int64_t left = std::max(a.left, b.left);
  const std::int64_t top = std::max(a.top, b.top);
  const std::int64_t right =
      std::min(std::int64_t{a.left} + a.width, std::int64_t{b.left} + b.width);
  const std::int64_t bottom =
      std::min(std::int64_t{a.top} + a.height, std::int64_t{b.top} + b.height);
  if (right <= left || bottom <= top) return {};
  return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
          static_cast<int>(bottom - top)};
}

Canvas::Canvas(int width, int height) { allocate(width, height); }

Size Canvas::fittedSize(int width, int height) {
  if (width <= 0 || height <= 0) return {};
  width = std::min(width, kMaxCanvasSide);
  height = std::min(height, kMaxCanvasSide);
  height = static_cast<int>(std::min<std::int64_t>(height, kMaxCanvasPixels / width));
  return {width, height};
}

void Canvas::allocate(int askedWidth, int askedHeight) {
  auto [width, height] = fittedSize(askedWidth, askedHeight);
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  const std::uint32_t white = toWord(kBackgroundColour);
  try {
    std::vector<std::uint32_t> shown(count, white);
    std::vector<std::uint32_t> background(count, white);
    std::vector<std::uint8_t> inked(count, 0);
    shown_.swap(shown);
    background_.swap(background);
    inked_.swap(inked);
  } catch (const std::bad_alloc&) {
    shown_.clear();
    background_.clear();
    inked_.clear();
    width = height = 0;
  }
  width_ = width;
  height_ = height;
  drawn_ = {};
}

Rect Canvas::resize(int width, int height) {
  Canvas next(width, height);
  if (next.width_ == width_ && next.height_ == height_) return {};
  const Rect kept = intersect(bounds(), next.bounds());
  for (int y = 0; y < kept.height; ++y) {
    const std::size_t from = at(width_, 0, y);
    const std::size_t to = at(next.width_, 0, y);
    const auto count = static_cast<std::size_t>(kept.width);
    std::memcpy(next.shown_.data() + to, shown_.data() + from, count * sizeof(std::uint32_t));
    std::memcpy(next.background_.data() + to, background_.data() + from,
                count * sizeof(std::uint32_t));
    std::memcpy(next.inked_.data() + to, inked_.data() + from, count);
  }
  shown_.swap(next.shown_);
  background_.swap(next.background_);
  inked_.swap(next.inked_);
  width_ = next.width_;
  height_ = next.height_;
  drawn_ = intersect(drawn_, bounds());
  return bounds();
}

int Canvas::penWidthCap() const { return std::max(1, 4 * (width_ + height_)); }

void Canvas::setScale(double scale) {
  scale_ = std::isfinite(scale) && scale > 0.0 && scale <= kMaxCanvasSide ? scale : 1.0;
}

std::int64_t Canvas::device(int v) const { return std::llround(v * scale_); }

int Canvas::drawWidth() const {
  const double width = std::round(penWidth_ * scale_);
  return static_cast<int>(std::clamp(width, 1.0, static_cast<double>(penWidthCap())));
}

Rect Canvas::drawn(Rect damage) {
  drawn_ = unite(drawn_, damage);
  return damage;
}

void Canvas::paintSpan(int y, int from, int to, std::uint32_t word) {
  const std::size_t start = at(width_, from, y);
  const auto count = static_cast<std::size_t>(to - from + 1);
  std::fill_n(shown_.data() + start, count, word);
  std::memset(inked_.data() + start, 1, count);
}

Rect Canvas::paintBox(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                      std::uint32_t word) {
  left = std::max<std::int64_t>(left, 0);
  top = std::max<std::int64_t>(top, 0);
  right = std::min<std::int64_t>(right, width_ - 1);
  bottom = std::min<std::int64_t>(bottom, height_ - 1);
  if (left > right || top > bottom) return {};
  for (auto y = static_cast<int>(top); y <= bottom; ++y) {
    paintSpan(y, static_cast<int>(left), static_cast<int>(right), word);
  }
  return drawn({static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left + 1),
                static_cast<int>(bottom - top + 1)});
}

Rect Canvas::setBackground(const Bitmap& picture) {
  if (width_ == 0) return {};
  int rows = 0;
  int columns = 0;
  if (!picture.empty()) {
    const auto wholeRows = static_cast<std::int64_t>(picture.rgb.size() / picture.stride());
    rows = static_cast<int>(std::min<std::int64_t>({picture.height, wholeRows, height_}));
    columns = std::min(picture.width, width_);
  }
  const std::uint32_t white = toWord(kBackgroundColour);
  for (int y = 0; y < height_; ++y) {
    std::uint32_t* to = background_.data() + at(width_, 0, y);
    const int covered = y < rows ? columns : 0;
    const std::uint8_t* from = y < rows ? picture.row(y) : nullptr;
    for (int x = 0; x < covered; ++x, from += 3) {
      to[x] = 0xFF000000u | std::uint32_t{from[0]} << 16 | std::uint32_t{from[1]} << 8 |
              std::uint32_t{from[2]};
    }
    std::fill(to + covered, to + width_, white);
  }
  if (drawn_.empty()) {
    std::memcpy(shown_.data(), background_.data(), shown_.size() * sizeof(std::uint32_t));
    return bounds();
  }
  // Strokes lie only inside drawn_: elsewhere the new picture goes straight in.
  for (int y = 0; y < height_; ++y) {
    const std::size_t line = at(width_, 0, y);
    std::uint32_t* shown = shown_.data() + line;
    const std::uint32_t* back = background_.data() + line;
    if (y < drawn_.top || y >= drawn_.top + drawn_.height) {
      std::memcpy(shown, back, static_cast<std::size_t>(width_) * sizeof(std::uint32_t));
      continue;
    }
    const std::uint8_t* inked = inked_.data() + line;
    for (int x = 0; x < width_; ++x) {
      if (inked[x] == 0) shown[x] = back[x];
    }
  }
  return bounds();
}

Rect Canvas::clear() {
  const Rect was = drawn_;
  for (int y = was.top; y < was.top + was.height; ++y) {
    const std::size_t start = at(width_, was.left, y);
    const auto count = static_cast<std::size_t>(was.width);
    std::memcpy(shown_.data() + start, background_.data() + start, count * sizeof(std::uint32_t));
    std::memset(inked_.data() + start, 0, count);
  }
  drawn_ = {};
  return was;
}

Rect Canvas::fillRect(int left, int top, int width, int height) {
  if (width <= 0 || height <= 0) return {};
  // The far edges are scaled as edges, so that rectangles side by side meet.
  const std::int64_t right = std::llround((static_cast<double>(left) + width) * scale_);
  const std::int64_t bottom = std::llround((static_cast<double>(top) + height) * scale_);
  return paintBox(device(left), device(top), right - 1, bottom - 1, toWord(fillColour_));
}

Rect Canvas::rectangle(int x0, int y0, int x1, int y1) {
  const std::int64_t width = drawWidth();
  // The frame's share on each side of an edge: an odd width centres on it,
  // an even one has its extra pixel outside on the right and bottom, as a
  // segment of that width has.
  const std::int64_t before = (width - 1) / 2;
  const std::int64_t after = width / 2;
  const std::int64_t left = device(std::min(x0, x1));
  const std::int64_t right = device(std::max(x0, x1));
  const std::int64_t top = device(std::min(y0, y1));
  const std::int64_t bottom = device(std::max(y0, y1));
  const std::uint32_t pen = toWord(penColour_);
  const std::int64_t innerLeft = left + after + 1;
  const std::int64_t innerRight = right - before - 1;
  const std::int64_t innerTop = top + after + 1;
  const std::int64_t innerBottom = bottom - before - 1;
  if (innerLeft > innerRight || innerTop > innerBottom) {
    return paintBox(left - before, top - before, right + after, bottom + after, pen);
  }
  Rect damage = paintBox(innerLeft, innerTop, innerRight, innerBottom, toWord(fillColour_));
  damage = unite(damage, paintBox(left - before, top - before, right + after, top + after, pen));
  damage =
      unite(damage, paintBox(left - before, bottom - before, right + after, bottom + after, pen));
  damage = unite(damage, paintBox(left - before, innerTop, left + after, innerBottom, pen));
  damage = unite(damage, paintBox(right - before, innerTop, right + after, innerBottom, pen));
  return damage;
}

Rect Canvas::segment(int x0, int y0, int x1, int y1) {
  if (width_ == 0) return {};
  const int width = drawWidth();
  const std::int64_t ax = device(x0), ay = device(y0), bx = device(x1), by = device(y1);
  if (width == 1) return thinLine(ax, ay, bx, by);
  // Pixel centres sit on whole coordinates; an even pen is centred between them.
  const double shift = width % 2 == 0 ? 0.5 : 0.0;
  return wideLine(static_cast<double>(ax) + shift, static_cast<double>(ay) + shift,
                  static_cast<double>(bx) + shift, static_cast<double>(by) + shift, width / 2.0);
}

// One pixel for each step along the longer axis, the other coordinate
// rounded, halves up. Only the steps over the canvas are taken, so a line
// from far away costs no more than one across the canvas.
Rect Canvas::thinLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1) {
  const bool steep = std::abs(y1 - y0) > std::abs(x1 - x0);
  if (steep) {
    std::swap(x0, y0);
    std::swap(x1, y1);
  }
  const std::int64_t along = steep ? height_ : width_;
  const std::int64_t across = steep ? width_ : height_;
  const std::int64_t first = std::max<std::int64_t>(std::min(x0, x1), 0);
  const std::int64_t last = std::min<std::int64_t>(std::max(x0, x1), along - 1);
  const double slope = x1 == x0 ? 0.0 : static_cast<double>(y1 - y0) / static_cast<double>(x1 - x0);
  const std::uint32_t word = toWord(penColour_);
  std::int64_t lowU = along, highU = -1, lowV = across, highV = -1;
  for (std::int64_t u = first; u <= last; ++u) {
    // |u - x0| stays below 2^33 and |slope| <= 1, so this fits.
    const double offset = std::floor(static_cast<double>(u - x0) * slope + 0.5);
    const std::int64_t v = y0 + static_cast<std::int64_t>(offset);
    if (v < 0 || v >= across) continue;
    const int x = static_cast<int>(steep ? v : u);
    const int y = static_cast<int>(steep ? u : v);
    paintSpan(y, x, x, word);
    lowU = std::min(lowU, u);
    highU = std::max(highU, u);
    lowV = std::min(lowV, v);
    highV = std::max(highV, v);
  }
  if (highU < 0) return {};
  Rect damage{static_cast<int>(lowU), static_cast<int>(lowV), static_cast<int>(highU - lowU + 1),
              static_cast<int>(highV - lowV + 1)};
  if (steep) damage = {damage.top, damage.left, damage.height, damage.width};
  return drawn(damage);
}

// The pixels whose centres lie within `radius` of the segment a-b, a row at
// a time: on each row they form one run, the hull of where the row crosses
// the two end discs and the band between them.
Rect Canvas::wideLine(double ax, double ay, double bx, double by, double radius) {
  // Anything of the line further out than this has nothing within reach of
  // the canvas, and cutting it off keeps the arithmetic small.
  const double margin = radius + 2.0;
  if (!clipSegment(ax, ay, bx, by, -margin, width_ - 1 + margin, -margin, height_ - 1 + margin)) {
    return {};
  }
  const double dx = bx - ax;
  const double dy = by - ay;
  const double length2 = dx * dx + dy * dy;
  const double length = std::sqrt(length2);
  const double radius2 = radius * radius;
  const bool band = length2 > 1e-9;
  const int firstRow = static_cast<int>(std::max(0.0, std::ceil(std::min(ay, by) - radius)));
  const int lastRow =
      static_cast<int>(std::min(height_ - 1.0, std::floor(std::max(ay, by) + radius)));
  const std::uint32_t word = toWord(penColour_);
  int left = width_, right = -1, top = -1, bottom = -1;
  for (int y = firstRow; y <= lastRow; ++y) {
    double from = kFar;
    double to = -kFar;
    for (const auto& [cx, cy] : {std::pair{ax, ay}, std::pair{bx, by}}) {
      const double up = y - cy;
      if (up * up > radius2) continue;
      const double half = std::sqrt(radius2 - up * up);
      from = std::min(from, cx - half);
      to = std::max(to, cx + half);
    }
    if (band) {
      // Along the line, between the ends: 0 <= (q - a) . d <= |d|^2; across
      // it, within the radius: |(q - a) x d| <= radius |d|; both for q on row y.
      const double rise = y - ay;
      const Interval along = solve(dx, -rise * dy, length2 - rise * dy);
      const Interval across = solve(dy, rise * dx - radius * length, rise * dx + radius * length);
      const double lo = std::max(along.from, across.from);
      const double hi = std::min(along.to, across.to);
      if (lo <= hi) {
        from = std::min(from, ax + lo);
        to = std::max(to, ax + hi);
      }
    }
    if (from > to) continue;
    const int first = static_cast<int>(std::ceil(std::max(from, -1.0)));
    const int last = static_cast<int>(std::floor(std::min(to, static_cast<double>(width_))));
    const int start = std::max(first, 0);
    const int end = std::min(last, width_ - 1);
    if (start > end) continue;
    paintSpan(y, start, end, word);
    left = std::min(left, start);
    right = std::max(right, end);
    if (top < 0) top = y;
    bottom = y;
  }
  if (top < 0) return {};
  return drawn({left, top, right - left + 1, bottom - top + 1});
}

std::uint32_t Canvas::pixel(int x, int y) const {
  const std::int64_t dx = device(x), dy = device(y);
  if (dx < 0 || dy < 0 || dx >= width_ || dy >= height_) return kNoPixel;
  return toColour(shown_[at(width_, static_cast<int>(dx), static_cast<int>(dy))]);
}

std::span<const std::uint32_t> Canvas::row(int y) const {
  if (y < 0 || y >= height_) return {};
  return {shown_.data() + at(width_, 0, y), static_cast<std::size_t>(width_)};
}

Bitmap Canvas::toBitmap() const { return toBitmap(bounds()); }

Bitmap Canvas::toBitmap(Rect area) const {
  area = intersect(area, bounds());
  if (area.empty()) return {};
  Bitmap out{
      area.width, area.height,
      Bytes(static_cast<std::size_t>(area.width) * static_cast<std::size_t>(area.height) * 3)};
  for (int y = 0; y < area.height; ++y) {
    const std::uint32_t* from = shown_.data() + at(width_, area.left, area.top + y);
    std::uint8_t* to = out.row(y);
    for (int x = 0; x < area.width; ++x, to += 3) {
      to[0] = static_cast<std::uint8_t>(from[x] >> 16);
      to[1] = static_cast<std::uint8_t>(from[x] >> 8);
      to[2] = static_cast<std::uint8_t>(from[x]);
    }
  }
  return out;
}

}  // namespace quillet::image
