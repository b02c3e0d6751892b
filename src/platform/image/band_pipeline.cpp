#include "platform/image/band_pipeline.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <new>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/image/pixel_rows.h"
#include "platform/image/reasons.h"

namespace quillet::image::detail {

namespace {

// The hand-over between the two threads: bands decoded and waiting, buffers
// free for the decoder, and who has stopped.
class Exchange {
 public:
  explicit Exchange(std::size_t buffers) {
    for (std::size_t i = 0; i < buffers; ++i) free_.push_back(i);
  }

  // A free buffer, or nothing once the placing side has refused.
  std::optional<std::size_t> takeFree() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return refused_ || !free_.empty(); });
    if (refused_) return std::nullopt;
    const std::size_t i = free_.front();
    free_.pop_front();
    return i;
  }
  void hand(const Band& band, std::size_t buffer) {
    {
      std::lock_guard lock(mutex_);
      ready_.push_back({band, buffer});
    }
    changed_.notify_all();
  }
  // The decoder is through, or gave up (then nothing waiting is placed).
  void close(bool abandon) {
    {
      std::lock_guard lock(mutex_);
      closed_ = true;
      if (abandon) ready_.clear();
    }
    changed_.notify_all();
  }

  // The next band to place, or nothing when there will be none.
  std::optional<std::pair<Band, std::size_t>> next() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return closed_ || !ready_.empty(); });
    if (ready_.empty()) return std::nullopt;
    auto band = ready_.front();
    ready_.pop_front();
    return band;
  }
  void release(std::size_t buffer) {
    {
      std::lock_guard lock(mutex_);
      free_.push_back(buffer);
    }
    changed_.notify_all();
  }
  void refuse() {
    {
      std::lock_guard lock(mutex_);
      refused_ = true;
    }
    changed_.notify_all();
  }
  bool refused() {
    std::lock_guard lock(mutex_);
    return refused_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::size_t> free_;
  std::deque<std::pair<Band, std::size_t>> ready_;
  bool closed_ = false;
  bool refused_ = false;
};

// `work`'s calls, with a failed allocation inside them taken as a refusal
// rather than an exception loose on the second thread.
bool guarded(const std::function<bool()>& call) {
  try {
    return call();
  } catch (const std::bad_alloc&) {
    return false;
  }
}

void placeAll(Exchange& exchange, const BandWork& work, Size size) {
  if (!guarded([&] { return work.begin(size); })) {
    exchange.refuse();
    return;
  }
  while (auto next = exchange.next()) {
    const bool placed = guarded([&] { return work.place(next->first); });
    exchange.release(next->second);
    if (!placed) {
      exchange.refuse();
      return;
    }
  }
}

}  // namespace

BandOutcome decodeInBands(ByteView jpeg, const BandPlan& plan, const BandWork& work) {
  JpegScanlines reader;
  if (auto why = reader.open(jpeg, plan.channels); !why.empty()) {
    return {why, false, reader.gaveUpAfterWarning()};
  }
  const int width = reader.width();
  const int height = reader.height();
  const std::size_t stride = plan.bmpRows ? bmpRowStride(width) : kPixel * width;
  const int rowsPerBand = std::clamp(plan.rows, 1, height);
  std::vector<Bytes> buffers;
  std::vector<std::uint8_t*> rows;
  try {
    buffers.resize(static_cast<std::size_t>(std::max(1, plan.buffers)));
    for (Bytes& b : buffers) b.resize(stride * static_cast<std::size_t>(rowsPerBand));
    rows.resize(static_cast<std::size_t>(rowsPerBand));
  } catch (const std::bad_alloc&) {
    return {std::string(kOutOfMemory), false};
  }

  Exchange exchange(buffers.size());
  std::thread placer;
  try {
    placer = std::thread([&] { placeAll(exchange, work, {width, height}); });
  } catch (const std::system_error&) {
    // No second thread to be had: the same work, one band after another.
    if (!guarded([&] { return work.begin({width, height}); })) return {{}, true, false};
  }
  const bool alone = !placer.joinable();

  std::string error;
  for (int first = 0; first < height; first += rowsPerBand) {
    const auto buffer = exchange.takeFree();
    if (!buffer) break;
    Band band{first, std::min(rowsPerBand, height - first), buffers[*buffer].data(), stride,
              plan.bottomUp};
    for (int i = 0; i < band.count; ++i) rows[static_cast<std::size_t>(i)] = band.row(i);
    if (!reader.read(rows.data(), band.count)) {
      error = reader.failure();
      break;
    }
    if (alone) {
      const bool placed = guarded([&] { return work.place(band); });
      exchange.release(*buffer);
      if (!placed) exchange.refuse();
    } else {
      exchange.hand(band, *buffer);
    }
  }
  if (error.empty() && !exchange.refused() && !reader.finish()) error = reader.failure();
  exchange.close(!error.empty());
  if (!alone) placer.join();
  return {error, exchange.refused(), reader.gaveUpAfterWarning()};
}

}  // namespace quillet::image::detail
