#include "platform/image/transform.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <numbers>
#include <utility>
#include <vector>

#include "platform/image/big_buffers.h"
#include "platform/image/bilinear_row.h"
#include "platform/image/bmp_direct.h"
#include "platform/image/pixel_rows.h"
#include "platform/image/two_threads.h"

namespace quillet::image {

double normalisedAngle(double degrees) {
  if (!std::isfinite(degrees)) return 0.0;
  double a = std::fmod(degrees, 360.0);
  if (a < 0) a += 360.0;
  if (a >= 360.0) a -= 360.0;
  return a;
}

namespace {

using detail::bmp24Shell;
using detail::copyRowInto;
using detail::kBmpHeadersSize;
using detail::kPixel;
using detail::reverseRowInPlace;
using detail::reverseRowInto;

bool usable(const Bitmap& b) {
  return !b.empty() && b.rgb.size() / b.stride() >= static_cast<std::size_t>(b.height);
}

std::size_t bytesFor(int width, int height) {
  return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * kPixel;
}

// Gives `out` the size; false (and `out` empty) when the memory is not there.
bool shape(Bitmap& out, int width, int height) {
  if (!detail::sizeLarge(out.rgb, bytesFor(width, height))) {
    out = Bitmap();
    return false;
  }
  out.width = width;
  out.height = height;
  return true;
}

void makeEmpty(Bitmap& out) {
  out.width = 0;
  out.height = 0;
  out.rgb.clear();
}

// Where transformed rows go: a bitmap's rows top-down in R, G, B, or a BMP
// file's rows bottom-up in B, G, R with their padding.
struct Plane {
  std::uint8_t* first = nullptr;  // row 0, the top of the picture
  std::ptrdiff_t stride = 0;
  bool swapRedBlue = false;
  std::uint8_t* row(int y) const { return first + stride * y; }
};

Plane planeOf(Bitmap& b) { return {b.rgb.data(), static_cast<std::ptrdiff_t>(b.stride()), false}; }

Plane planeOfBmp(Bytes& file, int height) {
  const auto stride = static_cast<std::ptrdiff_t>((file.size() - kBmpHeadersSize) /
                                                  static_cast<std::size_t>(height));
  return {file.data() + kBmpHeadersSize + stride * (height - 1), -stride, true};
}

// ---- rows ----

template <bool Swap>
void flipRows(const Bitmap& src, bool horizontal, bool vertical, const Plane& to) {
  for (int y = 0; y < src.height; ++y) {
    const std::uint8_t* row = src.row(vertical ? src.height - 1 - y : y);
    if (horizontal) {
      reverseRowInto<Swap>(row, to.row(y), src.width);
    } else {
      copyRowInto<Swap>(row, to.row(y), src.width);
    }
  }
}

void flipInto(const Bitmap& src, bool horizontal, bool vertical, const Plane& to) {
  if (to.swapRedBlue) {
    flipRows<true>(src, horizontal, vertical, to);
  } else {
    flipRows<false>(src, horizontal, vertical, to);
  }
}

// ---- rotation ----

constexpr int kFraction = 32;  // fixed-point positions: 32.32 in an int64
constexpr double kOne = 4294967296.0;

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {  // b > 0
  return a >= 0 ? a / b : -((-a + b - 1) / b);
}

std::int64_t ceilDiv(std::int64_t a, std::int64_t b) { return -floorDiv(-a, b); }

// The columns X of [0, n) for which lo <= start + X * step < hi. The position
// is linear in X, so they form one run, found exactly in integers: the same
// sums the pixel loops make, so a run never strays outside the source.
std::pair<int, int> run(std::int64_t start, std::int64_t step, std::int64_t lo, std::int64_t hi,
                        int n) {
  std::int64_t from = 0;
  std::int64_t to = n;
  if (step > 0) {
    from = std::max(from, ceilDiv(lo - start, step));
    to = std::min(to, ceilDiv(hi - start, step));
  } else if (step < 0) {
    from = std::max(from, floorDiv(start - hi, -step) + 1);
    to = std::min(to, floorDiv(start - lo, -step) + 1);
  } else if (start < lo || start >= hi) {
    to = from;
  }
  if (to < from) to = from;
  return {static_cast<int>(from), static_cast<int>(to)};
}

std::pair<int, int> intersect(std::pair<int, int> a, std::pair<int, int> b) {
  const int from = std::max(a.first, b.first);
  return {from, std::max(from, std::min(a.second, b.second))};
}

// Where one destination row meets the source: [coverFrom, coverTo) lands on
// the picture; inside it, [fastFrom, fastTo) has all four neighbours of its
// sample, the rest are edge pixels whose missing neighbours repeat the edge.
struct RowPlan {
  std::int64_t sx = 0, sy = 0;  // source position of column 0
  int coverFrom = 0, coverTo = 0, fastFrom = 0, fastTo = 0;
};

// Bilinear mix of the pixels at p, p1 (right), q (below) and q1 with weights
// in 1/256ths; red and blue share one 64-bit multiply in two 32-bit lanes,
// and the four weights sum to 65536, so a flat area stays exactly flat.
template <bool Swap>
inline void mix(const std::uint8_t* p, const std::uint8_t* p1, const std::uint8_t* q,
                const std::uint8_t* q1, std::uint32_t fx, std::uint32_t fy, std::uint8_t* out) {
  const auto rb = [](const std::uint8_t* s) {
    return static_cast<std::uint64_t>(s[0]) | (static_cast<std::uint64_t>(s[2]) << 32);
  };
  const std::uint32_t w11 = fx * fy;
  const std::uint32_t w01 = (fx << 8) - w11;
  const std::uint32_t w10 = (fy << 8) - w11;
  const std::uint32_t w00 = 65536 - w01 - w10 - w11;
  const std::uint64_t redBlue = rb(p) * w00 + rb(p1) * w01 + rb(q) * w10 + rb(q1) * w11 +
                                ((std::uint64_t{1} << 47) | (1u << 15));
  const std::uint32_t green = p[1] * w00 + p1[1] * w01 + q[1] * w10 + q1[1] * w11 + (1u << 15);
  out[Swap ? 2 : 0] = static_cast<std::uint8_t>(redBlue >> 16);
  out[1] = static_cast<std::uint8_t>(green >> 16);
  out[Swap ? 0 : 2] = static_cast<std::uint8_t>(redBlue >> 48);
}

template <bool Swap>
struct Sampler {
  const std::uint8_t* pixels;
  std::size_t stride;
  int width, height;

  // Interior: both neighbours exist in each direction.
  void fast(std::int64_t sx, std::int64_t sy, std::int64_t dx, std::int64_t dy, int count,
            std::uint8_t* out) const {
    const int done = detail::bilinearRow({pixels, stride, stride * static_cast<std::size_t>(height),
                                          sx, sy, dx, dy, count, out, Swap});
    sx += dx * done;
    sy += dy * done;
    out += static_cast<std::size_t>(done) * kPixel;
    count -= done;
    for (int i = 0; i < count; ++i, sx += dx, sy += dy, out += kPixel) {
      const auto ix = static_cast<std::size_t>(sx >> kFraction);
      const auto iy = static_cast<std::size_t>(sy >> kFraction);
      const auto fx = static_cast<std::uint32_t>(sx >> (kFraction - 8)) & 0xFFu;
      const auto fy = static_cast<std::uint32_t>(sy >> (kFraction - 8)) & 0xFFu;
      const std::uint8_t* p = pixels + iy * stride + ix * kPixel;
      mix<Swap>(p, p + kPixel, p + stride, p + stride + kPixel, fx, fy, out);
    }
  }

  // Edge: the sample is clamped onto the picture first.
  void edge(std::int64_t sx, std::int64_t sy, std::int64_t dx, std::int64_t dy, int count,
            std::uint8_t* out) const {
    const std::int64_t maxX = static_cast<std::int64_t>(width - 1) << kFraction;
    const std::int64_t maxY = static_cast<std::int64_t>(height - 1) << kFraction;
    for (int i = 0; i < count; ++i, sx += dx, sy += dy, out += kPixel) {
      const std::int64_t cx = std::clamp<std::int64_t>(sx, 0, maxX);
      const std::int64_t cy = std::clamp<std::int64_t>(sy, 0, maxY);
      const auto ix = static_cast<int>(cx >> kFraction);
      const auto iy = static_cast<int>(cy >> kFraction);
      const auto fx = static_cast<std::uint32_t>(cx >> (kFraction - 8)) & 0xFFu;
      const auto fy = static_cast<std::uint32_t>(cy >> (kFraction - 8)) & 0xFFu;
      const std::uint8_t* p = pixels + static_cast<std::size_t>(iy) * stride;
      const std::uint8_t* q = iy < height - 1 ? p + stride : p;
      const std::size_t x0 = static_cast<std::size_t>(ix) * kPixel;
      const std::size_t x1 = ix < width - 1 ? x0 + kPixel : x0;
      mix<Swap>(p + x0, p + x1, q + x0, q + x1, fx, fy, out);
    }
  }
};

// Destination columns are done in strips so that the source rows a strip
// crosses stay in the cache from one destination row to the next.
constexpr int kStrip = 1024;

template <bool Swap>
void sampleStrips(const BitmapView& src, const std::vector<RowPlan>& plans, std::int64_t dx,
                  std::int64_t dy, int width, const Plane& to) {
  const Sampler<Swap> sampler{src.rgb, src.stride(), src.width, src.height};
  for (int x0 = 0; x0 < width; x0 += kStrip) {
    const int x1 = std::min(width, x0 + kStrip);
    for (std::size_t y = 0; y < plans.size(); ++y) {
      const RowPlan& plan = plans[y];
      std::uint8_t* row = to.row(static_cast<int>(y));
      const auto part = [&](int from, int end, bool interior) {
        from = std::max(from, x0);
        end = std::min(end, x1);
        if (from >= end) return;
        const std::int64_t sx = plan.sx + dx * from;
        const std::int64_t sy = plan.sy + dy * from;
        std::uint8_t* target = row + static_cast<std::size_t>(from) * kPixel;
        if (interior) {
          sampler.fast(sx, sy, dx, dy, end - from, target);
        } else {
          sampler.edge(sx, sy, dx, dy, end - from, target);
        }
      };
      part(plan.coverFrom, plan.fastFrom, false);
      part(plan.fastFrom, plan.fastTo, true);
      part(plan.fastTo, plan.coverTo, false);
    }
  }
}

// Where each canvas row meets the source, in the fixed-point sums the pixel
// loops make.
class Geometry {
 public:
  Geometry(Size source, double radians, Size canvas) : source_(source), canvas_(canvas) {
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    cos_ = c;
    sin_ = s;
    // Source sample (pixel centres at whole numbers) of destination pixel
    // (X, Y): the inverse turn of its centre about the canvas centre.
    cx_ = source.width / 2.0 - 0.5;
    cy_ = source.height / 2.0 - 0.5;
    u0_ = 0.5 - canvas.width / 2.0;
    dx = std::llround(c * kOne);
    dy = std::llround(-s * kOne);
    coverHiX_ = (static_cast<std::int64_t>(source.width) << kFraction) - kHalf;
    coverHiY_ = (static_cast<std::int64_t>(source.height) << kFraction) - kHalf;
    fastHiX_ = static_cast<std::int64_t>(source.width - 1) << kFraction;
    fastHiY_ = static_cast<std::int64_t>(source.height - 1) << kFraction;
  }

  RowPlan plan(int y) const {
    RowPlan plan;
    const double v = y + 0.5 - canvas_.height / 2.0;
    plan.sx = std::llround((cx_ + u0_ * cos_ + v * sin_) * kOne);
    plan.sy = std::llround((cy_ - u0_ * sin_ + v * cos_) * kOne);
    const auto cover = intersect(run(plan.sx, dx, -kHalf, coverHiX_, canvas_.width),
                                 run(plan.sy, dy, -kHalf, coverHiY_, canvas_.width));
    auto fast = intersect(run(plan.sx, dx, 0, fastHiX_, canvas_.width),
                          run(plan.sy, dy, 0, fastHiY_, canvas_.width));
    fast = intersect(fast, cover);
    if (fast.first == fast.second) fast = {cover.second, cover.second};
    plan.coverFrom = cover.first;
    plan.coverTo = cover.second;
    plan.fastFrom = fast.first;
    plan.fastTo = fast.second;
    return plan;
  }

  // How many source rows from the top the samples of this row read: each
  // sample reads its own row, clamped onto the picture, and the one below.
  int reach(const RowPlan& plan) const {
    if (plan.coverFrom >= plan.coverTo) return 0;
    const std::int64_t maxY = static_cast<std::int64_t>(source_.height - 1) << kFraction;
    const auto row = [&](int x) {
      return static_cast<int>(std::clamp<std::int64_t>(plan.sy + dy * x, 0, maxY) >> kFraction);
    };
    const int lowest = std::max(row(plan.coverFrom), row(plan.coverTo - 1));
    return std::min(lowest + 2, source_.height);
  }

  std::int64_t dx = 0, dy = 0;  // source step of one canvas column

 private:
  static constexpr std::int64_t kHalf = std::int64_t{1} << (kFraction - 1);
  Size source_, canvas_;
  double cos_ = 0, sin_ = 0, cx_ = 0, cy_ = 0, u0_ = 0;
  std::int64_t coverHiX_ = 0, coverHiY_ = 0, fastHiX_ = 0, fastHiY_ = 0;
};

// Canvas rows [first, first + count) into `to`, whose row 0 is canvas row `first`.
bool rotateFree(const BitmapView& src, double radians, std::uint32_t fill, Size canvas,
                const Plane& to, int first, int count) {
  std::vector<RowPlan> plans;
  std::vector<std::uint8_t> fillRow;
  try {
    plans.resize(static_cast<std::size_t>(count));
    fillRow.resize(bytesFor(canvas.width, 1));
  } catch (const std::bad_alloc&) {
    return false;
  }
  const auto red = static_cast<std::uint8_t>(fill);
  const auto green = static_cast<std::uint8_t>(fill >> 8);
  const auto blue = static_cast<std::uint8_t>(fill >> 16);
  for (std::size_t i = 0; i < fillRow.size(); i += kPixel) {
    fillRow[i] = to.swapRedBlue ? blue : red;
    fillRow[i + 1] = green;
    fillRow[i + 2] = to.swapRedBlue ? red : blue;
  }

  const Geometry geometry({src.width, src.height}, radians, canvas);
  for (int y = 0; y < count; ++y) {
    RowPlan& plan = plans[static_cast<std::size_t>(y)];
    plan = geometry.plan(first + y);
    std::uint8_t* row = to.row(y);
    std::memcpy(row, fillRow.data(), static_cast<std::size_t>(plan.coverFrom) * kPixel);
    std::memcpy(row + static_cast<std::size_t>(plan.coverTo) * kPixel, fillRow.data(),
                static_cast<std::size_t>(canvas.width - plan.coverTo) * kPixel);
  }

  if (to.swapRedBlue) {
    sampleStrips<true>(src, plans, geometry.dx, geometry.dy, canvas.width, to);
  } else {
    sampleStrips<false>(src, plans, geometry.dx, geometry.dy, canvas.width, to);
  }
  return true;
}

int canvasSide(double extent) {
  // The rounding error of the sine and cosine must not add a pixel.
  return std::max(1, static_cast<int>(std::ceil(extent - 1e-6)));
}

double radiansOf(double normalisedDegrees) {
  return normalisedDegrees * (std::numbers::pi / 180.0);
}

// Turns by 0, 90, 180 or 270 degrees need no sampling.
Bytes rightAngleToBmp(const Bitmap& bitmap, double a) {
  if (a == 0.0) return flipToBmp(bitmap, false, false);
  if (a == 180.0) return flipToBmp(bitmap, true, true);
  return flipToBmp(quarterTurn(bitmap), a == 270.0, a == 270.0);
}

bool tooLarge(Size canvas) {
  return static_cast<std::int64_t>(canvas.width) * canvas.height > kMaxRotatedPixels;
}

// Rows [x0, x1) of the quarter turn of `src` into `out`, shaped already,
// then `done(x0, x1)`.
// Source pixel (x, y) lands at column height-1-y of row x. Each destination
// row is written left to right while the source is read up a column, in
// blocks small enough that those source lines stay in the cache.
template <class Done>
void turnRows(const Bitmap& src, Bitmap& out, int x0, int x1, Done done) {
  constexpr int kBlock = 128;
  const int h = src.height;
  const std::size_t stride = src.stride();
  for (int by = 0; by < h; by += kBlock) {
    const int ey = std::min(h, by + kBlock);
    for (int bx = x0; bx < x1; bx += kBlock) {
      const int ex = std::min(x1, bx + kBlock);
      for (int x = bx; x < ex; ++x) {
        const std::uint8_t* bottom = src.row(ey - 1) + static_cast<std::size_t>(x) * kPixel;
        std::uint8_t* dst = out.row(x) + static_cast<std::size_t>(h - ey) * kPixel;
        const auto count = static_cast<std::size_t>(ey - by);
        for (std::size_t i = 0; i < count; ++i) {
          std::memcpy(dst + i * kPixel, bottom - i * stride, kPixel);
        }
      }
    }
  }
  done(x0, x1);
}

// The rows of a picture in a BMP file of its size made by bmp24Shell.
std::uint8_t* bmpRow(Bytes& file, int height, std::size_t stride, int y) {
  return file.data() + kBmpHeadersSize + stride * static_cast<std::size_t>(height - 1 - y);
}

}  // namespace

void flipBitmapInto(const Bitmap& bitmap, bool horizontal, bool vertical, Bitmap& out) {
  if (!usable(bitmap) || !shape(out, bitmap.width, bitmap.height)) {
    makeEmpty(out);
    return;
  }
  flipInto(bitmap, horizontal, vertical, planeOf(out));
}

Bitmap flipBitmap(const Bitmap& bitmap, bool horizontal, bool vertical) {
  Bitmap out;
  flipBitmapInto(bitmap, horizontal, vertical, out);
  return out;
}

void flipInPlace(Bitmap& bitmap, bool horizontal, bool vertical) {
  if (!usable(bitmap)) {
    makeEmpty(bitmap);
    return;
  }
  const int h = bitmap.height;
  const std::size_t stride = bitmap.stride();
  if (!vertical) {
    if (horizontal) {
      for (int y = 0; y < h; ++y) reverseRowInPlace(bitmap.row(y), bitmap.width);
    }
    return;
  }
  std::vector<std::uint8_t> keep;
  try {
    keep.resize(stride);
  } catch (const std::bad_alloc&) {
    makeEmpty(bitmap);
    return;
  }
  for (int y = 0; y < h / 2; ++y) {
    std::uint8_t* top = bitmap.row(y);
    std::uint8_t* bottom = bitmap.row(h - 1 - y);
    if (horizontal) {
      reverseRowInto<false>(top, keep.data(), bitmap.width);
      reverseRowInto<false>(bottom, top, bitmap.width);
    } else {
      std::memcpy(keep.data(), top, stride);
      std::memcpy(top, bottom, stride);
    }
    std::memcpy(bottom, keep.data(), stride);
  }
  if (horizontal && h % 2 == 1) reverseRowInPlace(bitmap.row(h / 2), bitmap.width);
}

Bytes flipToBmp(const Bitmap& bitmap, bool horizontal, bool vertical) {
  if (!usable(bitmap)) return {};
  Bytes file = bmp24Shell(bitmap.width, bitmap.height);
  if (file.empty()) return file;
  flipInto(bitmap, horizontal, vertical, planeOfBmp(file, bitmap.height));
  return file;
}

void quarterTurnInto(const Bitmap& bitmap, Bitmap& out) {
  if (!usable(bitmap) || !shape(out, bitmap.height, bitmap.width)) {
    makeEmpty(out);
    return;
  }
  turnRows(bitmap, out, 0, bitmap.width, [](int, int) {});
}

Bitmap quarterTurn(const Bitmap& bitmap) {
  Bitmap out;
  quarterTurnInto(bitmap, out);
  return out;
}

Size rotatedSize(Size size, double degrees) {
  if (size.width <= 0 || size.height <= 0) return {};
  const double a = normalisedAngle(degrees);
  if (a == 0.0 || a == 180.0) return size;
  if (a == 90.0 || a == 270.0) return {size.height, size.width};
  const double c = std::abs(std::cos(radiansOf(a)));
  const double s = std::abs(std::sin(radiansOf(a)));
  return {canvasSide(size.width * c + size.height * s),
          canvasSide(size.width * s + size.height * c)};
}

void rotateBitmapInto(const Bitmap& bitmap, double degrees, std::uint32_t fill, Bitmap& out) {
  if (!usable(bitmap)) {
    makeEmpty(out);
    return;
  }
  const double a = normalisedAngle(degrees);
  if (a == 0.0) return flipBitmapInto(bitmap, false, false, out);
  if (a == 90.0) return quarterTurnInto(bitmap, out);
  if (a == 180.0) return flipBitmapInto(bitmap, true, true, out);
  if (a == 270.0) {
    quarterTurnInto(bitmap, out);
    flipInPlace(out, true, true);
    return;
  }
  const Size canvas = rotatedSize({bitmap.width, bitmap.height}, a);
  if (tooLarge(canvas) || !shape(out, canvas.width, canvas.height) ||
      !rotateFree(bitmap, radiansOf(a), fill, canvas, planeOf(out), 0, canvas.height)) {
    makeEmpty(out);
  }
}

Bitmap rotateBitmap(const Bitmap& bitmap, double degrees, std::uint32_t fill) {
  Bitmap out;
  rotateBitmapInto(bitmap, degrees, fill, out);
  return out;
}

Bytes rotateToBmp(const Bitmap& bitmap, double degrees, std::uint32_t fill) {
  if (!usable(bitmap)) return {};
  const double a = normalisedAngle(degrees);
  if (a == 0.0 || a == 90.0 || a == 180.0 || a == 270.0) return rightAngleToBmp(bitmap, a);
  const Size canvas = rotatedSize({bitmap.width, bitmap.height}, a);
  if (tooLarge(canvas)) return {};
  Bytes file = bmp24Shell(canvas.width, canvas.height);
  if (file.empty()) return file;
  if (!rotateFree(bitmap, radiansOf(a), fill, canvas, planeOfBmp(file, canvas.height), 0,
                  canvas.height)) {
    return {};
  }
  return file;
}

bool rotateToBmpStream(const Bitmap& bitmap, double degrees, std::uint32_t fill,
                       const BmpSink& sink) {
  if (!usable(bitmap)) return false;
  const double a = normalisedAngle(degrees);
  if (a == 0.0 || a == 90.0 || a == 180.0 || a == 270.0) {
    const Bytes whole = rightAngleToBmp(bitmap, a);
    return !whole.empty() && sink(whole);
  }
  const Size canvas = rotatedSize({bitmap.width, bitmap.height}, a);
  if (tooLarge(canvas)) return false;
  const Bytes head = detail::bmp24Header(canvas.width, canvas.height);
  if (head.empty() || !sink(head)) return false;
  // Bands of rows from the bottom of the canvas up, the order the file
  // stores them in; the band's own buffer is reused, so it stays in the cache.
  constexpr int kBand = 64;
  const std::size_t stride = detail::bmpRowStride(canvas.width);
  Bytes band;
  try {
    band.resize(stride * kBand);
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (int end = canvas.height; end > 0; end -= kBand) {
    const int first = std::max(0, end - kBand);
    const int count = end - first;
    const Plane to{band.data() + stride * static_cast<std::size_t>(count - 1),
                   -static_cast<std::ptrdiff_t>(stride), true};
    if (!rotateFree(bitmap, radiansOf(a), fill, canvas, to, first, count) ||
        !sink(ByteView(band.data(), stride * static_cast<std::size_t>(count)))) {
      return false;
    }
  }
  return true;
}

Bitmap cropBitmap(const Bitmap& bitmap, int x, int y, int width, int height) {
  if (bitmap.empty() ||
      bitmap.rgb.size() < bitmap.stride() * static_cast<std::size_t>(bitmap.height)) {
    return {};
  }
  const std::int64_t left = std::max<std::int64_t>(x, 0);
  const std::int64_t top = std::max<std::int64_t>(y, 0);
  const std::int64_t right = std::min<std::int64_t>(std::int64_t{x} + width, bitmap.width);
  const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{y} + height, bitmap.height);
  if (right <= left || bottom <= top) return {};
  Bitmap out;
  out.width = static_cast<int>(right - left);
  out.height = static_cast<int>(bottom - top);
  out.rgb.resize(out.stride() * static_cast<std::size_t>(out.height));
  for (int row = 0; row < out.height; ++row) {
    const std::uint8_t* from = bitmap.row(static_cast<int>(top) + row) + 3 * left;
    std::copy(from, from + out.stride(), out.row(row));
  }
  return out;
}

namespace {

bool sizeWithinLimit(int width, int height) {
  return width > 0 && height > 0 && std::int64_t{width} * height <= kMaxPixels;
}

}  // namespace

Bitmap resampleBitmap(const Bitmap& bitmap, int width, int height) {
  if (!usable(bitmap) || !sizeWithinLimit(width, height)) return {};
  Bitmap out;
  out.width = width;
  out.height = height;
  out.rgb.resize(out.stride() * static_cast<std::size_t>(height));
  // Each new pixel covers [from, to) of the old rows and columns, at least one.
  auto span = [](int i, int newSide, int oldSide) {
    const auto from = static_cast<int>(std::int64_t{i} * oldSide / newSide);
    const auto to = static_cast<int>(std::int64_t{i + 1} * oldSide / newSide);
    return std::pair{from, std::max(to, from + 1)};
  };
  for (int y = 0; y < height; ++y) {
    const auto [top, bottom] = span(y, height, bitmap.height);
    std::uint8_t* to = out.row(y);
    for (int x = 0; x < width; ++x) {
      const auto [left, right] = span(x, width, bitmap.width);
      std::uint64_t sum[3] = {0, 0, 0};
      for (int row = top; row < bottom; ++row) {
        const std::uint8_t* from = bitmap.row(row) + 3 * left;
        for (int col = left; col < right; ++col, from += 3) {
          sum[0] += from[0];
          sum[1] += from[1];
          sum[2] += from[2];
        }
      }
      const auto count = static_cast<std::uint64_t>(bottom - top) * (right - left);
      for (int c = 0; c < 3; ++c) {
        to[3 * x + c] = static_cast<std::uint8_t>((sum[c] + count / 2) / count);
      }
    }
  }
  return out;
}

Bitmap padBitmap(const Bitmap& bitmap, int width, int height, std::uint32_t fill) {
  if (!sizeWithinLimit(width, height)) return {};
  Bitmap out;
  out.width = width;
  out.height = height;
  out.rgb.resize(out.stride() * static_cast<std::size_t>(height));
  const std::uint8_t colour[3] = {static_cast<std::uint8_t>(fill & 0xFF),
                                  static_cast<std::uint8_t>((fill >> 8) & 0xFF),
                                  static_cast<std::uint8_t>((fill >> 16) & 0xFF)};
  for (std::size_t i = 0; i < out.rgb.size(); i += 3) std::copy(colour, colour + 3, &out.rgb[i]);
  if (!usable(bitmap)) return out;
  const int rows = std::min(height, bitmap.height);
  const std::size_t bytes = 3 * static_cast<std::size_t>(std::min(width, bitmap.width));
  for (int y = 0; y < rows; ++y) std::copy(bitmap.row(y), bitmap.row(y) + bytes, out.row(y));
  return out;
}

Bytes flipInPlaceToBmp(Bitmap& bitmap, bool horizontal, bool vertical) {
  if (!usable(bitmap)) {
    makeEmpty(bitmap);
    return {};
  }
  const int w = bitmap.width;
  const int h = bitmap.height;
  Bytes file = bmp24Shell(w, h);
  std::vector<std::uint8_t> keep[2];
  try {
    if (vertical) {
      keep[0].resize(bitmap.stride());
      keep[1].resize(bitmap.stride());
    }
  } catch (const std::bad_alloc&) {
    file.clear();
  }
  if (file.empty()) {
    flipInPlace(bitmap, horizontal, vertical);
    return file;
  }
  const std::size_t stride = detail::bmpRowStride(w);
  // Rows in pairs from both ends, so that each pair is read once for the
  // mirror in place and for the file's rows; each thread takes half of them.
  detail::inTwo([&](int half) {
    const auto [from, to] = detail::halfOf((h + 1) / 2, half);
    std::uint8_t* spare = keep[half].data();
    for (int top = from; top < to; ++top) {
      const int bottom = h - 1 - top;
      std::uint8_t* a = bitmap.row(top);
      std::uint8_t* b = bitmap.row(bottom);
      if (vertical && top != bottom) {
        std::memcpy(spare, a, bitmap.stride());
        if (horizontal) {
          reverseRowInto<false>(b, a, w);
          reverseRowInto<false>(spare, b, w);
        } else {
          std::memcpy(a, b, bitmap.stride());
          std::memcpy(b, spare, bitmap.stride());
        }
      } else if (horizontal) {
        reverseRowInPlace(a, w);
        if (top != bottom) reverseRowInPlace(b, w);
      }
      detail::copySwappedRow(a, bmpRow(file, h, stride, top), w);
      if (top != bottom) detail::copySwappedRow(b, bmpRow(file, h, stride, bottom), w);
    }
  });
  return file;
}

bool quarterTurnWithBmp(const Bitmap& bitmap, Bitmap& out, Bytes& bmp) {
  if (!usable(bitmap)) {
    makeEmpty(out);
    bmp.clear();
    return false;
  }
  const int w = bitmap.height;  // of the result
  const int h = bitmap.width;
  // The two large buffers are first touched at the same time, one a thread.
  bool shaped[2] = {false, false};
  detail::inTwo([&](int half) {
    if (half == 0) {
      shaped[0] = shape(out, w, h);
    } else {
      try {
        bmp = bmp24Shell(w, h);
      } catch (const std::bad_alloc&) {
        bmp.clear();
      }
      shaped[1] = !bmp.empty();
    }
  });
  if (!shaped[0] || !shaped[1]) {
    makeEmpty(out);
    bmp.clear();
    return false;
  }
  const std::size_t stride = detail::bmpRowStride(w);
  detail::inTwo([&](int half) {
    const auto [from, to] = detail::halfOf(h, half);
    turnRows(bitmap, out, from, to, [&](int first, int end) {
      for (int y = first; y < end; ++y)
        detail::copySwappedRow(out.row(y), bmpRow(bmp, h, stride, y), w);
    });
  });
  return true;
}

int rotationReach(Size picture, double degrees, int first, int count) {
  const double a = normalisedAngle(degrees);
  const Size canvas = rotatedSize(picture, a);
  if (canvas.width <= 0) return 0;
  const Geometry geometry(picture, radiansOf(a), canvas);
  int most = 0;
  for (int y = std::max(0, first); y < std::min(canvas.height, first + count); ++y) {
    most = std::max(most, geometry.reach(geometry.plan(y)));
  }
  return most;
}

bool rotatedBmpRows(const BitmapView& bitmap, double degrees, std::uint32_t fill, int first,
                    int count, std::uint8_t* out) {
  const double a = normalisedAngle(degrees);
  if (bitmap.rgb == nullptr || bitmap.width <= 0 || bitmap.height <= 0 || a == 0.0 || a == 90.0 ||
      a == 180.0 || a == 270.0)
    return false;
  const Size canvas = rotatedSize({bitmap.width, bitmap.height}, a);
  if (tooLarge(canvas) || first < 0 || count <= 0 || count > canvas.height - first) return false;
  const auto stride = static_cast<std::ptrdiff_t>(detail::bmpRowStride(canvas.width));
  const Plane to{out + stride * (count - 1), -stride, true};
  return rotateFree(bitmap, radiansOf(a), fill, canvas, to, first, count);
}

}  // namespace quillet::image
