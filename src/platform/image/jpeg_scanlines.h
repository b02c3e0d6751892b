#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/image/picture.h"

// A JPEG decoded a few rows at a time through the libjpeg interface, for the
// operations that place each band of rows as it comes instead of holding the
// whole picture, and for the files TurboJPEG's header call cannot classify
// (sampling factors such as 4x2). It decodes exactly as TurboJPEG does for
// the engine (accurate DCT, smooth upsampling, at most 500 scans, damaged
// data shown as far as it goes), so the pixels are the same either way, and
// a failure is worded as the engine words TurboJPEG's.
namespace quillet::image::detail {

enum class Channels { Rgb, Bgr };

class JpegScanlines {
 public:
  JpegScanlines();
  ~JpegScanlines();
  JpegScanlines(const JpegScanlines&) = delete;
  JpegScanlines& operator=(const JpegScanlines&) = delete;

  // Reads the headers and gets ready to give rows of `channels` at `scale`
  // (one of the library's factors). The reason when it cannot; `jpeg` must
  // outlive the reader.
  std::string open(ByteView jpeg, Channels channels, Scale scale = {});
  // The size of the rows read() gives.
  int width() const;
  int height() const;
  // Decodes the next `count` rows, each at least 3 * width() bytes, into
  // `rows`; false (see failure()) when the library gave up.
  bool read(std::uint8_t* const* rows, int count);
  // Reads on to the end of the file as the library does after the last row;
  // a fatal error there fails the picture as it does for TurboJPEG.
  bool finish();
  const std::string& failure() const;
  // Whether the library gave up only after warning of damaged data.
  // TurboJPEG counts that a warning and leaves the picture as far as it got,
  // and so does the engine: such a file is shown, not refused.
  bool gaveUpAfterWarning() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// A whole picture through JpegScanlines, as TurboJPEG gives it: what the
// library decoded before it gave up after a warning, the rest black.
Result<Bitmap> decodeJpegScanlines(ByteView jpeg, Scale scale);

}  // namespace quillet::image::detail
