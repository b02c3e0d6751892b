#include "platform/image/area_reduce.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/image/two_threads.h"

namespace quillet::image {

namespace {

// Weights of one side sum to 4096. A row's weighed sum, shifted down by 4,
// fits 16 bits; the weighed sum of those rows fits 32.
constexpr int kOne = 4096;
constexpr int kRowShift = 4;
constexpr int kShift = 24 - kRowShift;

// Every output pixel weighs `taps` consecutive source pixels along one side,
// from `first[i]`; weights past its own area are 0, so that every output has
// the same number and the loops over them have a fixed length.
struct Spans {
  int taps = 1;
  std::vector<int> first;
  std::vector<std::uint16_t> weight;  // `taps` per output
};

Spans spansFor(int from, int to) {
  Spans s;
  const double step = static_cast<double>(from) / to;
  s.taps = static_cast<int>(std::ceil(step)) + 1;
  s.first.resize(static_cast<std::size_t>(to));
  s.weight.assign(static_cast<std::size_t>(to) * s.taps, 0);
  for (int i = 0; i < to; ++i) {
    const double start = i * step;
    const double end = std::min<double>(from, (i + 1) * step);
    const int first = std::min(from - 1, static_cast<int>(start));
    const int last = std::max(first, std::min(from - 1, static_cast<int>(std::ceil(end)) - 1));
    // Keep the window inside the source; the weights shift along with it.
    const int origin = std::max(0, std::min(first, from - s.taps));
    s.first[static_cast<std::size_t>(i)] = origin;
    std::uint16_t* w = s.weight.data() + static_cast<std::size_t>(i) * s.taps;
    int given = 0;
    for (int j = first; j <= last; ++j) {
      const double cover = std::min<double>(end, j + 1) - std::max<double>(start, j);
      int share = static_cast<int>(cover / (end - start) * kOne + 0.5);
      if (j == last) share = kOne - std::min(given, kOne);
      given += share;
      w[j - origin] = static_cast<std::uint16_t>(share);
    }
  }
  return s;
}

template <int Taps>
void rowAcross(const std::uint8_t* in, const Spans& across, int width, std::uint16_t* out) {
  const int taps = Taps > 0 ? Taps : across.taps;
  const std::uint16_t* w = across.weight.data();
  for (int x = 0; x < width; ++x, w += taps, out += 3) {
    const std::uint8_t* p =
        in + static_cast<std::size_t>(across.first[static_cast<std::size_t>(x)]) * 3;
    std::uint32_t red = 0, green = 0, blue = 0;
    for (int i = 0; i < taps; ++i, p += 3) {
      red += p[0] * std::uint32_t{w[i]};
      green += p[1] * std::uint32_t{w[i]};
      blue += p[2] * std::uint32_t{w[i]};
    }
    out[0] = static_cast<std::uint16_t>(red >> kRowShift);
    out[1] = static_cast<std::uint16_t>(green >> kRowShift);
    out[2] = static_cast<std::uint16_t>(blue >> kRowShift);
  }
}

void across(const std::uint8_t* in, const Spans& spans, int width, std::uint16_t* out) {
  switch (spans.taps) {
    case 2:
      return rowAcross<2>(in, spans, width, out);
    case 3:
      return rowAcross<3>(in, spans, width, out);
    case 4:
      return rowAcross<4>(in, spans, width, out);
    case 5:
      return rowAcross<5>(in, spans, width, out);
    default:
      return rowAcross<0>(in, spans, width, out);
  }
}

template <class Put>
void reduce(const Bitmap& source, int width, int height, const Put& put) {
  const Spans wide = spansFor(source.width, width);
  const Spans down = spansFor(source.height, height);
  const std::size_t line = static_cast<std::size_t>(width) * 3;
  auto rows = [&](int half) {
    const auto [top, bottom] = detail::halfOf(height, half);
    // The rows reduced across so far, by source row: neighbouring output
    // rows share source rows, which are reduced once.
    const int kept = down.taps + 1;
    std::vector<std::uint16_t> ring(line * static_cast<std::size_t>(kept));
    std::vector<int> holds(static_cast<std::size_t>(kept), -1);
    std::vector<std::uint32_t> sum(line);
    for (int y = top; y < bottom; ++y) {
      std::fill(sum.begin(), sum.end(), 0u);
      const int first = down.first[static_cast<std::size_t>(y)];
      const std::uint16_t* wy = down.weight.data() + static_cast<std::size_t>(y) * down.taps;
      for (int r = 0; r < down.taps; ++r) {
        const std::uint32_t weight = wy[r];
        if (weight == 0) continue;
        const int at = (first + r) % kept;
        std::uint16_t* reduced = ring.data() + line * static_cast<std::size_t>(at);
        if (holds[static_cast<std::size_t>(at)] != first + r) {
          across(source.row(first + r), wide, width, reduced);
          holds[static_cast<std::size_t>(at)] = first + r;
        }
        for (std::size_t i = 0; i < line; ++i) sum[i] += reduced[i] * weight;
      }
      put(y, sum.data());
    }
  };
  if (static_cast<std::int64_t>(source.width) * source.height >= 2'000'000) {
    detail::inTwo(rows);
  } else {
    rows(0);
    rows(1);
  }
}

inline std::uint32_t channel(std::uint32_t sum) { return (sum + (1u << (kShift - 1))) >> kShift; }

}  // namespace

Bitmap areaReduced(const Bitmap& source, int width, int height) {
  Bitmap out{width, height, Bytes(static_cast<std::size_t>(width) * height * 3)};
  reduce(source, width, height, [&](int y, const std::uint32_t* sum) {
    std::uint8_t* row = out.row(y);
    for (int i = 0; i < width * 3; ++i) row[i] = static_cast<std::uint8_t>(channel(sum[i]));
  });
  return out;
}

void areaReduceInto(const Bitmap& source, int width, int height, std::uint32_t* out,
                    std::size_t stride) {
  reduce(source, width, height, [&](int y, const std::uint32_t* sum) {
    auto* row = reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(out) +
                                                 stride * static_cast<std::size_t>(y));
    for (int x = 0; x < width; ++x, sum += 3) {
      row[x] = 0xFF000000u | (channel(sum[0]) << 16) | (channel(sum[1]) << 8) | channel(sum[2]);
    }
  });
}

}  // namespace quillet::image
