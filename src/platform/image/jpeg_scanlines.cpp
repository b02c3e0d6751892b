#include "platform/image/jpeg_scanlines.h"

// jpeglib.h leans on these without including them.
#include <cstddef>
#include <cstdio>
// The library reports a fatal error by a jump out of its own frames; the
// functions below that set the jump point hold nothing that needs a
// destructor, and all their state lives in State.
#include <csetjmp>
#include <new>
#include <vector>

#include <jpeglib.h>

#include "platform/image/jpeg_codec.h"
#include "platform/image/jpeg_header.h"
#include "platform/image/reasons.h"

namespace quillet::image::detail {

namespace {

// TurboJPEG's limit for the engine's decodes: every further scan of a
// progressive file costs a pass over the whole picture.
constexpr int kMaxScans = 500;

struct ErrorManager {
  jpeg_error_mgr pub;  // first, so the library's pointer is also this one's
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  void (*libraryEmit)(j_common_ptr, int);
  bool warned;
};

[[noreturn]] void onError(j_common_ptr info) {
  auto* errors = reinterpret_cast<ErrorManager*>(info->err);
  (*info->err->format_message)(info, errors->message);
  std::longjmp(errors->jump, 1);
}

// Warnings (damaged data the library steps over) are not the user's
// business on the terminal; the picture shows what there is.
void quiet(j_common_ptr) {}

void onMessage(j_common_ptr info, int level) {
  auto* errors = reinterpret_cast<ErrorManager*>(info->err);
  errors->libraryEmit(info, level);
  if (level < 0) errors->warned = true;
}

void limitScans(j_common_ptr info) {
  if (!info->is_decompressor) return;
  if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number <= kMaxScans) return;
  auto* errors = reinterpret_cast<ErrorManager*>(info->err);
  std::snprintf(errors->message, sizeof errors->message,
                "Progressive JPEG image has more than %d scans", kMaxScans);
  std::longjmp(errors->jump, 1);
}

}  // namespace

struct JpegScanlines::State {
  jpeg_decompress_struct info{};
  ErrorManager errors{};
  jpeg_progress_mgr progress{};
  JpegFrame frame;
  bool created = false;
  bool inks = false;  // CMYK or YCCK: decoded as inks, then turned into pixels
  Channels channels = Channels::Rgb;
  std::vector<std::uint8_t> inkRow;
  std::string failure;

  bool fail() {
    failure = jpegFailure(errors.message, frame);
    return false;
  }

  bool begin(ByteView jpeg, Scale scale) {
    info.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = onError;
    errors.pub.output_message = quiet;
    errors.libraryEmit = errors.pub.emit_message;
    errors.pub.emit_message = onMessage;
    if (setjmp(errors.jump)) return fail();
    created = true;
    jpeg_create_decompress(&info);
    progress.progress_monitor = limitScans;
    info.progress = &progress;
    jpeg_mem_src(&info, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&info, TRUE);
    // The library's own view of the size decides the allocations.
    failure = checkSize(info.image_width, info.image_height);
    if (!failure.empty()) return false;
    inks = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = inks ? JCS_CMYK : channels == Channels::Bgr ? JCS_EXT_BGR : JCS_EXT_RGB;
    info.scale_num = static_cast<unsigned>(scale.num);
    info.scale_denom = static_cast<unsigned>(scale.denom);
    jpeg_start_decompress(&info);
    return true;
  }

  bool read(std::uint8_t* const* rows, int count) {
    if (setjmp(errors.jump)) return fail();
    for (int done = 0; done < count;) {
      if (info.output_scanline >= info.output_height) {
        std::snprintf(errors.message, sizeof errors.message, "No rows left to read");
        return fail();
      }
      JSAMPROW ink = inkRow.data();
      const JDIMENSION got = inks ? jpeg_read_scanlines(&info, &ink, 1)
                                  : jpeg_read_scanlines(&info, const_cast<JSAMPARRAY>(rows + done),
                                                        static_cast<JDIMENSION>(count - done));
      if (got == 0) {
        std::snprintf(errors.message, sizeof errors.message, "No rows came out");
        return fail();
      }
      if (inks && channels == Channels::Bgr) {
        inksToPixels<true>(inkRow.data(), rows[done], info.output_width);
      } else if (inks) {
        inksToPixels<false>(inkRow.data(), rows[done], info.output_width);
      }
      done += static_cast<int>(got);
    }
    return true;
  }

  bool finish() {
    if (setjmp(errors.jump)) return fail();
    jpeg_finish_decompress(&info);
    return true;
  }
};

JpegScanlines::JpegScanlines() : state_(std::make_unique<State>()) {}

JpegScanlines::~JpegScanlines() {
  if (state_->created) jpeg_destroy_decompress(&state_->info);
}

std::string JpegScanlines::open(ByteView jpeg, Channels channels, Scale scale) {
  State& s = *state_;
  auto frame = readJpegFrame(jpeg);
  if (!frame) return frame.error;
  if (auto why = checkJpegFrame(frame.value); !why.empty()) return why;
  s.frame = frame.value;
  s.channels = channels;
  if (!s.begin(jpeg, scale)) return s.failure;
  if (s.inks) {
    try {
      s.inkRow.resize(static_cast<std::size_t>(s.info.output_width) * 4);
    } catch (const std::bad_alloc&) {
      s.failure = std::string(kOutOfMemory);
      return s.failure;
    }
  }
  return {};
}

int JpegScanlines::width() const { return static_cast<int>(state_->info.output_width); }
int JpegScanlines::height() const { return static_cast<int>(state_->info.output_height); }

bool JpegScanlines::read(std::uint8_t* const* rows, int count) { return state_->read(rows, count); }

bool JpegScanlines::finish() { return state_->finish(); }

const std::string& JpegScanlines::failure() const { return state_->failure; }

bool JpegScanlines::gaveUpAfterWarning() const {
  return !state_->failure.empty() && state_->errors.warned;
}

Result<Bitmap> decodeJpegScanlines(ByteView jpeg, Scale scale) {
  using R = Result<Bitmap>;
  JpegScanlines reader;
  if (auto why = reader.open(jpeg, Channels::Rgb, scale); !why.empty()) return R::fail(why);
  R result;
  Bitmap& out = result.value;
  std::vector<std::uint8_t*> rows;
  try {
    out.width = reader.width();
    out.height = reader.height();
    out.rgb.resize(out.stride() * static_cast<std::size_t>(out.height));
    rows.resize(static_cast<std::size_t>(out.height));
  } catch (const std::bad_alloc&) {
    return R::fail(std::string(kOutOfMemory));
  }
  for (int y = 0; y < out.height; ++y) rows[static_cast<std::size_t>(y)] = out.row(y);
  if ((!reader.read(rows.data(), out.height) || !reader.finish()) && !reader.gaveUpAfterWarning()) {
    return R::fail(reader.failure());
  }
  return result;
}

}  // namespace quillet::image::detail
