// Drawing on a small canvas with attributes and coordinates read from
// arbitrary bytes, extremes included: nothing may be written outside the
// canvas (the sanitizers watch), every rectangle a primitive reports must
// lie on the canvas, and every pixel it changed must lie inside it.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/image/canvas.h"

namespace {

using quillet::image::Canvas;
using quillet::image::Rect;

// Reads little-endian words from the input, zeros past its end.
class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t length) : data_(data), length_(length) {}
  bool done() const { return at_ >= length_; }
  std::uint8_t byte() { return at_ < length_ ? data_[at_++] : 0; }
  // Half the time a raw 32-bit value, else one near the canvas, so that the
  // fuzzer reaches both the far-out cases and the edges.
  int coordinate() {
    const std::uint8_t kind = byte();
    if (kind & 1) {
      std::uint32_t word = 0;
      for (int i = 0; i < 4; ++i) word |= std::uint32_t{byte()} << (8 * i);
      int value = 0;
      std::memcpy(&value, &word, sizeof value);
      return value;
    }
    return static_cast<int>(byte()) - 96;
  }
  std::array<int, 4> four() {
    std::array<int, 4> values{};
    for (int& value : values) value = coordinate();
    return values;
  }

 private:
  const std::uint8_t* data_;
  std::size_t length_;
  std::size_t at_ = 0;
};

std::vector<std::uint32_t> shown(const Canvas& canvas) {
  std::vector<std::uint32_t> out(canvas.pixels(),
                                 canvas.pixels() + static_cast<std::size_t>(canvas.width()) *
                                                       static_cast<std::size_t>(canvas.height()));
  return out;
}

void check(const Canvas& canvas, const std::vector<std::uint32_t>& before, Rect damage) {
  if (quillet::image::intersect(damage, canvas.bounds()) != damage) std::abort();
  const std::vector<std::uint32_t> after = shown(canvas);
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * canvas.width() + x;
      if (after[i] != before[i] && !damage.contains(x, y)) std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t length) {
  Reader in(data, length);
  Canvas canvas(in.byte() % 72, in.byte() % 56);
  for (int step = 0; step < 64 && !in.done(); ++step) {
    const std::vector<std::uint32_t> before = shown(canvas);
    Rect damage;
    switch (in.byte() % 10) {
      case 0:
        canvas.setPenWidth(in.coordinate());
        break;
      case 1:
        canvas.setPenColour(static_cast<std::uint32_t>(in.coordinate()));
        canvas.setFillColour(static_cast<std::uint32_t>(in.coordinate()));
        break;
      case 2: {
        const auto [x0, y0, x1, y1] = in.four();
        damage = canvas.segment(x0, y0, x1, y1);
        break;
      }
      case 3: {
        const auto [x0, y0, x1, y1] = in.four();
        damage = canvas.rectangle(x0, y0, x1, y1);
        break;
      }
      case 4: {
        const auto [left, top, width, height] = in.four();
        damage = canvas.fillRect(left, top, width, height);
        break;
      }
      case 5:
        damage = canvas.clear();
        break;
      case 6: {
        const int width = in.byte() % 90;
        const int height = in.byte() % 70;
        quillet::image::Bitmap picture{
            width, height,
            quillet::image::Bytes(
                static_cast<std::size_t>(width) * height * 3 / (1 + in.byte() % 2), in.byte())};
        damage = canvas.setBackground(picture);
        break;
      }
      case 8: {
        // Dense screens have 1.25, 1.5, 2 ... device pixels a window pixel;
        // nonsense factors (0, negative, huge) must fall back to 1.
        const std::uint8_t kind = in.byte();
        canvas.setScale(kind < 200 ? kind / 40.0 : (kind - 230) * 1e6);
        continue;
      }
      case 7: {
        const int width = in.byte() % 72;
        const int height = in.byte() % 56;
        canvas.resize(width, height);
        continue;  // a new size: nothing to compare with
      }
      default: {
        const int x = in.coordinate();
        const int y = in.coordinate();
        const std::uint32_t colour = canvas.pixel(x, y);
        const double dx = std::round(x * canvas.scale()), dy = std::round(y * canvas.scale());
        const bool inside = dx >= 0 && dy >= 0 && dx < canvas.width() && dy < canvas.height();
        if (inside ? colour > 0xFFFFFF : colour != quillet::image::kNoPixel) {
          std::abort();
        }
        const auto [left, top, width, height] = in.four();
        const Rect area{left, top, width, height};
        const quillet::image::Bitmap part = canvas.toBitmap(area);
        const Rect cut = quillet::image::intersect(area, canvas.bounds());
        if (part.width != cut.width || part.height != cut.height) std::abort();
        break;
      }
    }
    check(canvas, before, damage);
  }
  return 0;
}
