#include "platform/qt/picture_prefetch.h"

#include <algorithm>
#include <atomic>

#include "platform/files.h"

namespace quillet::qtui {

namespace {

std::atomic<PicturePrefetcher*> currentPrefetcher{nullptr};

}  // namespace

PicturePrefetcher::PicturePrefetcher() : worker_([this] { run(); }) {
  PicturePrefetcher* none = nullptr;
  currentPrefetcher.compare_exchange_strong(none, this);
}

PicturePrefetcher::~PicturePrefetcher() {
  PicturePrefetcher* self = this;
  currentPrefetcher.compare_exchange_strong(self, nullptr);
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    pending_.reset();
  }
  changed_.notify_all();
  worker_.join();
}

PicturePrefetcher* PicturePrefetcher::current() { return currentPrefetcher.load(); }

void PicturePrefetcher::prepare(const std::string& path, int boxWidth) {
  if (path.empty() || boxWidth <= 0) return;
  {
    std::lock_guard lock(mutex_);
    if (prepared_ && prepared_->path == path) return;
    if (busyWith_ == path) return;
    pending_ = Request{path, boxWidth};
  }
  changed_.notify_all();
}

bool PicturePrefetcher::working(const std::string& path) const {
  return busyWith_ == path || (pending_ && pending_->path == path);
}

std::optional<image::Bitmap> PicturePrefetcher::take(const std::string& path,
                                                     const ui::PictureBytes& bytes, QSize box) {
  if (path.empty() || !bytes) return std::nullopt;
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return stopping_ || !working(path); });
  if (!prepared_ || prepared_->path != path) return std::nullopt;
  Prepared& ready = *prepared_;
  // The file may have changed since it was read: only the same bytes count.
  const bool same = ready.bytes.size() == bytes->size() &&
                    std::equal(ready.bytes.begin(), ready.bytes.end(), bytes->begin());
  const bool covers = ready.bitmap.width >= box.width() && ready.bitmap.height >= box.height();
  if (!same || !covers) return std::nullopt;
  image::Bitmap bitmap = std::move(ready.bitmap);
  prepared_.reset();
  ++handedOver_;
  return bitmap;
}

int PicturePrefetcher::handedOver() const {
  std::lock_guard lock(mutex_);
  return handedOver_;
}

void PicturePrefetcher::run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || pending_; });
    if (stopping_) return;
    const Request request = *pending_;
    pending_.reset();
    busyWith_ = request.path;
    lock.unlock();

    std::optional<Prepared> done;
    try {
      if (auto bytes = files::read(request.path)) {
        // Only the width is known ahead; a box one pixel high lets the width
        // alone choose the scale.
        auto decoded = image::decodeForDisplay(*bytes, request.width, 1);
        if (decoded && !decoded.value.empty()) {
          done = Prepared{request.path, std::move(*bytes), std::move(decoded.value)};
        }
      }
    } catch (const std::bad_alloc&) {
      // Preparing is a favour; the picture box decodes for itself then.
    }

    lock.lock();
    busyWith_.clear();
    if (done) prepared_ = std::move(done);
    changed_.notify_all();
  }
}

}  // namespace quillet::qtui
