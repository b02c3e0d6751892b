#include "platform/image/jpeg_operations.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <new>
#include <optional>
#include <vector>

#include "platform/image/band_pipeline.h"
#include "platform/image/big_buffers.h"
#include "platform/image/bmp_direct.h"
#include "platform/image/gray_levels.h"
#include "platform/image/jpeg_scanlines.h"
#include "platform/image/pixel_rows.h"
#include "platform/image/reasons.h"
#include "platform/image/transform.h"
#include "platform/image/two_threads.h"

namespace quillet::image {

namespace {

using detail::Band;
using detail::BandPlan;
using detail::BandWork;
using detail::bmpRowStride;
using detail::Channels;
using detail::kBmpHeadersSize;
using detail::kPixel;
using Durability = OutputFile::Durability;

std::size_t at(std::size_t stride, int row) { return stride * static_cast<std::size_t>(row); }

using Failure = FileOutcome::Failure;

FileOutcome pictureFailure(std::string why) { return {Failure::Picture, std::move(why)}; }
FileOutcome fileFailure(const OutputFile& file) { return {Failure::File, file.failure()}; }
FileOutcome outOfMemory() { return pictureFailure(std::string(detail::kOutOfMemory)); }

// The end of an operation: the picture's reason first, then the file's,
// then a refusal that was neither (memory); otherwise the file takes its place.
FileOutcome conclude(const detail::BandOutcome& outcome, std::optional<OutputFile>& file) {
  if (!outcome.error.empty()) return pictureFailure(outcome.error);
  if (file && !file->ok()) return fileFailure(*file);
  if (outcome.refused || !file) return outOfMemory();
  if (!file->commit()) return fileFailure(*file);
  return {};
}

// The result made from the picture decoded whole, for the damaged files only
// that gives the same bytes as (see BandOutcome::wholeInstead).
FileOutcome wholeInstead(const std::function<Bytes(const Bitmap&)>& make, ByteView jpeg,
                         const std::filesystem::path& out, Durability durability) {
  const auto decoded = decode(jpeg);
  if (!decoded) return pictureFailure(decoded.error);
  const Bytes bytes = make(decoded.value);
  if (bytes.empty()) return outOfMemory();
  OutputFile file(out, bytes.size(), durability);
  if (!file.writeAt(0, bytes) || !file.commit()) return fileFailure(file);
  return {};
}

// Rows of a turn by a quarter: band rows [first, first + count) of a picture
// `height` rows high land in every row of the result, as one run of columns.
struct QuarterBands {
  bool clockwise;
  int width = 0, height = 0;       // of the picture
  std::size_t stride = 0;          // of the file's rows
  std::uint8_t* pixels = nullptr;  // the file's first row

  void place(const Band& band) const {
    // Clockwise, picture pixel (x, y) goes to column height-1-y of result
    // row x, which the file stores as row width-1-x; the other way round to
    // column y of result row width-1-x, file row x.
    const int column = clockwise ? height - band.first - band.count : band.first;
    // Column by column: the band's rows stay in the cache meanwhile.
    const auto step = static_cast<std::ptrdiff_t>(band.stride);
    const auto count = static_cast<std::size_t>(band.count);
    for (int x = 0; x < width; ++x) {
      std::uint8_t* dst = pixels + at(stride, clockwise ? width - 1 - x : x) +
                          kPixel * static_cast<std::size_t>(column);
      const std::size_t from = kPixel * static_cast<std::size_t>(x);
      if (clockwise) {
        detail::gatherPixels(band.row(band.count - 1) + from, -step, count, dst);
      } else {
        detail::gatherPixels(band.row(0) + from, step, count, dst);
      }
    }
  }
};

// How far the decoder has got, for the rotation waiting on it.
class Progress {
 public:
  void reached(int rows) {
    {
      std::lock_guard lock(mutex_);
      rows_ = rows;
    }
    changed_.notify_all();
  }
  void stop() {
    {
      std::lock_guard lock(mutex_);
      stopped_ = true;
    }
    changed_.notify_all();
  }
  // False when the decoder stopped before reaching `rows`.
  bool waitFor(int rows) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return stopped_ || rows_ >= rows; });
    return rows_ >= rows;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int rows_ = 0;
  bool stopped_ = false;
};

}  // namespace

FileOutcome flipJpegToBmpFile(ByteView jpeg, bool horizontal, bool vertical,
                              const std::filesystem::path& out, Durability durability) {
  std::optional<OutputFile> file;
  int width = 0;
  int height = 0;
  std::size_t stride = 0;
  // Without a vertical flip the file holds the rows bottom-up; the decoder
  // lays each band out that way, so a band goes to the file as it is.
  BandPlan plan;
  plan.channels = Channels::Bgr;
  plan.bottomUp = !vertical;
  plan.bmpRows = true;
  BandWork work;
  work.begin = [&](Size size) {
    width = size.width;
    height = size.height;
    stride = bmpRowStride(width);
    const Bytes head = detail::bmp24Header(width, height);
    if (head.empty()) return false;
    file.emplace(out, head.size() + at(stride, height), durability);
    return file->writeAt(0, head);
  };
  work.place = [&](const Band& band) {
    if (horizontal) {
      for (int i = 0; i < band.count; ++i) detail::reverseRowInPlace(band.row(i), width);
    }
    // File row r holds picture row r after a vertical flip, row height-1-r without.
    const int fileRow = vertical ? band.first : height - band.first - band.count;
    return file->writeAt(kBmpHeadersSize + at(stride, fileRow), band.bytes());
  };
  const auto outcome = detail::decodeInBands(jpeg, plan, work);
  if (outcome.wholeInstead) {
    file.reset();
    return wholeInstead([&](const Bitmap& b) { return flipToBmp(b, horizontal, vertical); }, jpeg,
                        out, durability);
  }
  return conclude(outcome, file);
}

FileOutcome quarterTurnJpegToBmpFile(ByteView jpeg, bool clockwise,
                                     const std::filesystem::path& out, Durability durability) {
  std::optional<OutputFile> file;
  Bytes inMemory;
  QuarterBands turn{clockwise};
  BandPlan plan;
  plan.channels = Channels::Bgr;
  plan.rows = 64;  // each result row gets 192 bytes a band: whole cache lines
  BandWork work;
  work.begin = [&](Size size) {
    turn.width = size.width;
    turn.height = size.height;
    turn.stride = bmpRowStride(size.height);
    const Bytes head = detail::bmp24Header(size.height, size.width);
    if (head.empty()) return false;
    const std::size_t total = head.size() + at(turn.stride, size.width);
    file.emplace(out, total, durability);
    if (!file->ok()) return false;
    // Every band touches every row of the result: the file is written in
    // place where it can be mapped, else whole from memory at the end.
    std::uint8_t* whole = file->map();
    if (whole == nullptr) {
      if (!detail::sizeLarge(inMemory, total)) return false;
      whole = inMemory.data();
    }
    std::memcpy(whole, head.data(), head.size());
    turn.pixels = whole + kBmpHeadersSize;
    return true;
  };
  work.place = [&](const Band& band) {
    turn.place(band);
    return true;
  };
  const auto outcome = detail::decodeInBands(jpeg, plan, work);
  if (outcome.wholeInstead) {
    file.reset();
    return wholeInstead(
        [&](const Bitmap& b) {
          return clockwise ? flipToBmp(quarterTurn(b), false, false) : rotateToBmp(b, 270, 0);
        },
        jpeg, out, durability);
  }
  if (outcome.ok() && !inMemory.empty()) file->writeAt(0, inMemory);
  return conclude(outcome, file);
}

FileOutcome rotateJpegToBmpFile(ByteView jpeg, double degrees, std::uint32_t fill,
                                const std::filesystem::path& out, Durability durability) {
  const double a = normalisedAngle(degrees);
  if (a == 0.0) return flipJpegToBmpFile(jpeg, false, false, out, durability);
  if (a == 90.0) return quarterTurnJpegToBmpFile(jpeg, true, out, durability);
  if (a == 180.0) return flipJpegToBmpFile(jpeg, true, true, out, durability);
  if (a == 270.0) return quarterTurnJpegToBmpFile(jpeg, false, out, durability);

  // Any other angle samples from anywhere in the picture, so it is decoded
  // whole; but a band of the canvas can be made as soon as the rows it
  // reads are there. One thread decodes while the other makes the bands
  // that can be made, then both make the rest.
  const auto whole = [&] {
    return wholeInstead([&](const Bitmap& b) { return rotateToBmp(b, a, fill); }, jpeg, out,
                        durability);
  };
  detail::JpegScanlines reader;
  if (auto why = reader.open(jpeg, Channels::Rgb); !why.empty()) {
    return reader.gaveUpAfterWarning() ? whole() : pictureFailure(why);
  }
  const Size picture{reader.width(), reader.height()};
  const Size canvas = rotatedSize(picture, a);
  const Bytes head = detail::bmp24Header(canvas.width, canvas.height);
  if (static_cast<std::int64_t>(canvas.width) * canvas.height > kMaxRotatedPixels || head.empty()) {
    return {Failure::CanvasTooLarge, {}};
  }
  constexpr int kBand = 64;
  const std::size_t stride = bmpRowStride(canvas.width);
  struct Piece {
    int first, count, reach;
  };
  std::vector<Piece> pieces;
  Bytes spare[2];
  try {
    for (int first = 0; first < canvas.height; first += kBand) {
      const int count = std::min(kBand, canvas.height - first);
      pieces.push_back({first, count, rotationReach(picture, a, first, count)});
    }
    spare[0].resize(at(stride, kBand));
    spare[1].resize(at(stride, kBand));
  } catch (const std::bad_alloc&) {
    return outOfMemory();
  }
  // Fresh pages, not a vector: zeroing the whole picture first would cost
  // the decoding thread a pass over it before its first row.
  const std::size_t rowBytes = static_cast<std::size_t>(picture.width) * 3;
  const detail::FreshPages pixels(rowBytes * static_cast<std::size_t>(picture.height));
  if (!pixels.ok()) return outOfMemory();
  const BitmapView source(pixels.data(), picture.width, picture.height);
  const auto sourceRow = [&](int y) {
    return pixels.data() + rowBytes * static_cast<std::size_t>(y);
  };
  // The bands that need the fewest rows first, so that they can start early.
  std::stable_sort(pieces.begin(), pieces.end(),
                   [](const Piece& x, const Piece& y) { return x.reach < y.reach; });
  OutputFile file(out, head.size() + at(stride, canvas.height), durability);
  if (!file.writeAt(0, head)) return fileFailure(file);

  Progress progress;
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  const auto makeBands = [&](int half) {
    for (std::size_t i = next++; i < pieces.size() && !failed; i = next++) {
      const Piece& piece = pieces[i];
      if (!progress.waitFor(piece.reach)) return;
      std::uint8_t* band = spare[half].data();
      if (!rotatedBmpRows(source, a, fill, piece.first, piece.count, band) ||
          !file.writeAt(kBmpHeadersSize + at(stride, canvas.height - piece.first - piece.count),
                        ByteView(band, at(stride, piece.count)))) {
        failed = true;
      }
    }
  };
  std::string error;
  detail::inTwo([&](int half) {
    if (half == 1) {
      // The first bands need most of the picture: till then this thread
      // takes the page faults off the decoding one, a slice ahead of it.
      constexpr std::size_t kSlice = std::size_t{8} << 20;
      for (std::size_t at = 0; at < pixels.size() && !failed; at += kSlice) {
        if (!pixels.populate(at, std::min(pixels.size(), at + kSlice))) break;
      }
      return makeBands(1);
    }
    constexpr int kRows = 16;
    std::uint8_t* rows[kRows];
    for (int first = 0; first < picture.height && !failed; first += kRows) {
      const int count = std::min(kRows, picture.height - first);
      for (int i = 0; i < count; ++i) rows[i] = sourceRow(first + i);
      if (!reader.read(rows, count)) {
        error = reader.failure();
        break;
      }
      progress.reached(first + count);
    }
    if (error.empty() && !failed && !reader.finish()) error = reader.failure();
    if (!error.empty()) failed = true;
    progress.stop();
    makeBands(0);
  });
  if (!error.empty()) return reader.gaveUpAfterWarning() ? whole() : pictureFailure(error);
  if (!file.ok()) return fileFailure(file);
  if (failed) return outOfMemory();
  if (!file.commit()) return fileFailure(file);
  return {};
}

FileOutcome grayJpegToBmpFile(ByteView jpeg, int levels, const std::filesystem::path& out,
                              Durability durability) {
  std::optional<OutputFile> file;
  const detail::GrayRows reduce(levels);
  Bytes indices;
  int width = 0;
  int height = 0;
  std::size_t stride = 0;
  BandPlan plan;
  BandWork work;
  work.begin = [&](Size size) {
    width = size.width;
    height = size.height;
    stride = detail::grayStride(width);
    indices.resize(at(stride, plan.rows));
    const Bytes head = detail::grayHead(width, height, levels);
    file.emplace(out, head.size() + at(stride, height), durability);
    return file->writeAt(0, head);
  };
  work.place = [&](const Band& band) {
    // The file's rows run bottom-up.
    for (int i = 0; i < band.count; ++i) {
      reduce.reduce(band.row(i), indices.data() + at(stride, band.count - 1 - i), width);
    }
    return file->writeAt(kGrayHeaderSize + at(stride, height - band.first - band.count),
                         ByteView(indices.data(), at(stride, band.count)));
  };
  const auto outcome = detail::decodeInBands(jpeg, plan, work);
  if (outcome.wholeInstead) {
    file.reset();
    return wholeInstead([&](const Bitmap&) { return applyGrayLevels(jpeg, levels).value; }, jpeg,
                        out, durability);
  }
  return conclude(outcome, file);
}

Result<MirroredJpeg> mirrorJpeg(ByteView jpeg, bool horizontal, bool vertical, bool wantBmp,
                                const std::filesystem::path& original) {
  using R = Result<MirroredJpeg>;
  R result;
  Bitmap& bitmap = result.value.bitmap;
  Bytes& bmp = result.value.bmp;
  std::optional<OutputFile> copy;
  std::size_t stride = 0;
  // The decoder lays each band out as the original's BMP file holds it, so
  // that a band goes to that file as it is; the bitmap and the mirrored
  // file are made from it while it is in the cache. The ring is long enough
  // for the decoder to run on while the large buffers are first touched.
  BandPlan plan;
  plan.channels = Channels::Bgr;
  plan.bottomUp = true;
  plan.bmpRows = true;
  plan.rows = 32;
  plan.buffers = 8;
  BandWork work;
  work.begin = [&](Size size) {
    stride = bmpRowStride(size.width);
    if (!original.empty()) {
      const Bytes head = detail::bmp24Header(size.width, size.height);
      if (!head.empty()) {
        copy.emplace(original, head.size() + at(stride, size.height), Durability::Scratch);
        copy->writeAt(0, head);
      }
    }
    bitmap.width = size.width;
    bitmap.height = size.height;
    if (!detail::sizeLarge(bitmap.rgb, bitmap.stride() * static_cast<std::size_t>(size.height))) {
      return false;
    }
    if (wantBmp) bmp = detail::bmp24Shell(size.width, size.height);
    return !wantBmp || !bmp.empty();
  };
  work.place = [&](const Band& band) {
    const int width = bitmap.width;
    const int height = bitmap.height;
    if (copy && copy->ok()) {
      copy->writeAt(kBmpHeadersSize + at(stride, height - band.first - band.count), band.bytes());
    }
    for (int i = 0; i < band.count; ++i) {
      const std::uint8_t* row = band.row(i);
      const int y = vertical ? height - 1 - (band.first + i) : band.first + i;
      if (horizontal) {
        detail::reverseRowInto<true>(row, bitmap.row(y), width);
      } else {
        detail::copyRowInto<true>(row, bitmap.row(y), width);
      }
      if (!wantBmp) continue;
      std::uint8_t* to = bmp.data() + kBmpHeadersSize + at(stride, height - 1 - y);
      if (horizontal) {
        detail::reverseRowInto<false>(row, to, width);
      } else {
        std::memcpy(to, row, kPixel * static_cast<std::size_t>(width));
      }
    }
    return true;
  };
  const auto outcome = detail::decodeInBands(jpeg, plan, work);
  if (outcome.wholeInstead) {
    copy.reset();
    auto decoded = decode(jpeg);
    if (!decoded) return R::fail(decoded.error);
    if (!original.empty()) writeBmpFile(original, decoded.value);
    if (wantBmp) bmp = flipToBmp(decoded.value, horizontal, vertical);
    bitmap = flipBitmap(decoded.value, horizontal, vertical);
    if (bitmap.empty() || (wantBmp && bmp.empty()))
      return R::fail(std::string(detail::kOutOfMemory));
    return result;
  }
  if (!outcome.error.empty()) return R::fail(outcome.error);
  if (outcome.refused) return R::fail(std::string(detail::kOutOfMemory));
  if (copy && copy->ok()) copy->commit();
  return result;
}

}  // namespace quillet::image
