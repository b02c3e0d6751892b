#pragma once

#include <QtCore/QSize>

#include <condition_variable>
#include <list>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/image/picture.h"
#include "platform/ui/widgets.h"

namespace quillet::qtui {

// Reads and decodes, on threads of its own, the pictures the program says it
// is likely to show next, so that paging through a folder of large photos
// does not wait for the decoder. At a person's pace one picture ahead is
// enough; while the user pages faster than a picture decodes (the key held
// down), two are decoded at once, one on each core, so that every other
// picture is ready when its key comes. Lives as long as the backend.
class PicturePrefetcher {
 public:
  PicturePrefetcher();
  ~PicturePrefetcher();
  PicturePrefetcher(const PicturePrefetcher&) = delete;
  PicturePrefetcher& operator=(const PicturePrefetcher&) = delete;

  // The one the backend made; nullptr when there is none.
  static PicturePrefetcher* current();

  // Called by the backend when the program hints at the next pictures: their
  // files, the likeliest first, and the width in device pixels they will
  // likely be shown at. Replaces the hints before it: what they asked for and
  // this one does not is dropped.
  void prepare(const std::vector<std::string>& paths, int boxWidth);

  // Called by a picture box about to decode `bytes` read from `path` for a
  // box of `box` device pixels: the decode prepared for them, when it was and
  // it covers the box. Waits for that decode if it is running or about to
  // begin; one that every worker is too busy to begin is left to the caller.
  std::optional<image::Bitmap> take(const std::string& path, const ui::PictureBytes& bytes,
                                    QSize box);

  // How many prepared decodes were handed over; for the tests.
  int handedOver() const;

 private:
  enum class State { Waiting, Working, Ready };
  struct Slot {
    std::string path;
    int width = 0;
    State state = State::Waiting;
    bool wanted = true;  // false: dropped by a hint while it was decoding
    image::Bytes bytes;
    image::Bitmap bitmap;
  };

  void run();

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  // The likeliest first; dropped slots still decoding stay until done.
  std::list<Slot> slots_;
  int handedOver_ = 0;
  int busy_ = 0;       // workers decoding
  bool held_ = false;  // the last picture taken was still decoding
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace quillet::qtui
