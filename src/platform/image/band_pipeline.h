#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/image/jpeg_scanlines.h"
#include "platform/image/picture.h"

// A JPEG decoded a band of rows at a time on the calling thread while a
// second thread puts each band where it belongs, so that decoding, the
// transform and the writing overlap and no full-size copy of the decoded
// picture is ever held. The decoder writes only into a few small buffers
// that stay in the cache; the page faults of the large outputs fall on the
// second thread.
namespace quillet::image::detail {

// Rows [first, first + count) of the picture as decoded.
struct Band {
  int first = 0;
  int count = 0;
  std::uint8_t* pixels = nullptr;  // buffer row 0
  std::size_t stride = 0;
  bool bottomUp = false;  // buffer row 0 holds the band's last row, as BMP files order rows

  // Picture row first + i.
  std::uint8_t* row(int i) const {
    return pixels + stride * static_cast<std::size_t>(bottomUp ? count - 1 - i : i);
  }
  // The buffer as it lies, count rows of stride bytes.
  ByteView bytes() const { return {pixels, stride * static_cast<std::size_t>(count)}; }
};

struct BandPlan {
  Channels channels = Channels::Rgb;
  bool bottomUp = false;
  // Rows padded to four bytes with zeros, as a 24-bit BMP stores them.
  bool bmpRows = false;
  int rows = 16;  // a band's height
  int buffers = 3;
};

// What the second thread does: `begin` once with the picture's size before
// the first band, then `place` for every band in order. False from either
// stops the decoding.
struct BandWork {
  std::function<bool(Size)> begin;
  std::function<bool(const Band&)> place;
};

struct BandOutcome {
  std::string error;     // the decoder's reason, when it gave up
  bool refused = false;  // begin or place returned false
  // The decoder gave up after a warning: TurboJPEG shows such a picture as
  // far as it got, and only a whole decode gives those very pixels.
  bool wholeInstead = false;
  bool ok() const { return error.empty() && !refused && !wholeInstead; }
};

BandOutcome decodeInBands(ByteView jpeg, const BandPlan& plan, const BandWork& work);

}  // namespace quillet::image::detail
