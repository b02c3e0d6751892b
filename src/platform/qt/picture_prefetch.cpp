#include "platform/qt/picture_prefetch.h"

#include <algorithm>
#include <atomic>
#include <system_error>

#include "platform/files.h"

namespace quillet::qtui {

namespace {

std::atomic<PicturePrefetcher*> currentPrefetcher{nullptr};

constexpr int kWorkers = 2;

}  // namespace

PicturePrefetcher::PicturePrefetcher() {
  for (int i = 0; i < kWorkers; ++i) {
    try {
      workers_.emplace_back([this] { run(); });
    } catch (const std::system_error&) {
      break;  // one worker, or none: the boxes decode for themselves
    }
  }
  PicturePrefetcher* none = nullptr;
  currentPrefetcher.compare_exchange_strong(none, this);
}

PicturePrefetcher::~PicturePrefetcher() {
  PicturePrefetcher* self = this;
  currentPrefetcher.compare_exchange_strong(self, nullptr);
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

PicturePrefetcher* PicturePrefetcher::current() { return currentPrefetcher.load(); }

void PicturePrefetcher::prepare(const std::vector<std::string>& paths, int boxWidth) {
  if (boxWidth <= 0 || workers_.empty()) return;
  {
    std::lock_guard lock(mutex_);
    const std::size_t depth = held_ ? 2 : 1;
    std::list<Slot> kept;
    for (std::size_t i = 0; i < paths.size() && kept.size() < depth; ++i) {
      if (paths[i].empty()) continue;
      auto same = std::find_if(slots_.begin(), slots_.end(),
                               [&](const Slot& s) { return s.path == paths[i] && s.wanted; });
      if (same != slots_.end()) {
        kept.splice(kept.end(), slots_, same);
      } else {
        Slot fresh;
        fresh.path = paths[i];
        fresh.width = boxWidth;
        kept.push_back(std::move(fresh));
      }
    }
    // Those no longer hinted go; one still decoding goes when it is done.
    for (Slot& old : slots_) {
      if (old.state == State::Working) {
        old.wanted = false;
        kept.push_back(std::move(old));
      }
    }
    slots_ = std::move(kept);
  }
  changed_.notify_all();
}

std::optional<image::Bitmap> PicturePrefetcher::take(const std::string& path,
                                                     const ui::PictureBytes& bytes, QSize box) {
  if (path.empty() || !bytes) return std::nullopt;
  std::unique_lock lock(mutex_);
  const auto find = [&] {
    return std::find_if(slots_.begin(), slots_.end(),
                        [&](const Slot& s) { return s.path == path && s.wanted; });
  };
  auto slot = find();
  if (slot == slots_.end()) return std::nullopt;
  held_ = slot->state == State::Working;
  // Not begun while every worker is busy with another: sooner done here.
  if (slot->state == State::Waiting && busy_ >= static_cast<int>(workers_.size())) {
    slots_.erase(slot);
    return std::nullopt;
  }
  changed_.wait(lock, [&] {
    slot = find();
    return stopping_ || slot == slots_.end() || slot->state == State::Ready;
  });
  if (slot == slots_.end() || slot->state != State::Ready) return std::nullopt;
  // The file may have changed since it was read: only the same bytes count.
  const bool same = slot->bytes.size() == bytes->size() &&
                    std::equal(slot->bytes.begin(), slot->bytes.end(), bytes->begin());
  const bool covers = slot->bitmap.width >= box.width() && slot->bitmap.height >= box.height();
  std::optional<image::Bitmap> handed;
  if (same && covers) {
    handed = std::move(slot->bitmap);
    ++handedOver_;
  }
  slots_.erase(slot);
  return handed;
}

int PicturePrefetcher::handedOver() const {
  std::lock_guard lock(mutex_);
  return handedOver_;
}

void PicturePrefetcher::run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    std::list<Slot>::iterator slot;
    changed_.wait(lock, [&] {
      slot = std::find_if(slots_.begin(), slots_.end(),
                          [](const Slot& s) { return s.state == State::Waiting; });
      return stopping_ || slot != slots_.end();
    });
    if (stopping_) return;
    slot->state = State::Working;
    ++busy_;
    const std::string path = slot->path;
    const int width = slot->width;
    lock.unlock();

    image::Bytes bytes;
    image::Bitmap bitmap;
    try {
      if (auto read = files::read(path)) {
        // Only the width is known ahead; a box one pixel high lets the width
        // alone choose the scale.
        auto decoded = image::decodeForDisplay(*read, width, 1);
        if (decoded && !decoded.value.empty()) {
          bytes = std::move(*read);
          bitmap = std::move(decoded.value);
        }
      }
    } catch (const std::bad_alloc&) {
      // Preparing is a favour; the picture box decodes for itself then.
    }

    lock.lock();
    --busy_;
    // A list's elements stay put while others come and go around them.
    if (!slot->wanted || bitmap.empty()) {
      slots_.erase(slot);
    } else {
      slot->state = State::Ready;
      slot->bytes = std::move(bytes);
      slot->bitmap = std::move(bitmap);
    }
    changed_.notify_all();
  }
}

}  // namespace quillet::qtui
