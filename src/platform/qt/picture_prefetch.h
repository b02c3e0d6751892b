#pragma once

#include <QtCore/QSize>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/image/picture.h"
#include "platform/ui/widgets.h"

namespace quillet::qtui {

// Reads and decodes, on a thread of its own, the picture the program says it
// is likely to show next, so that paging through a folder of large photos
// does not wait for the decoder. One picture at a time: a new request
// replaces one that has not started. Lives as long as the backend.
class PicturePrefetcher {
 public:
  PicturePrefetcher();
  ~PicturePrefetcher();
  PicturePrefetcher(const PicturePrefetcher&) = delete;
  PicturePrefetcher& operator=(const PicturePrefetcher&) = delete;

  // The one the backend made; nullptr when there is none.
  static PicturePrefetcher* current();

  // Called by the backend when the program hints at the next picture: its
  // file and the width in device pixels it will likely be shown at.
  void prepare(const std::string& path, int boxWidth);

  // Called by a picture box about to decode `bytes` read from `path` for a
  // box of `box` device pixels: the decode prepared for them, when it was and
  // it covers the box. Waits for that decode if it is still running.
  std::optional<image::Bitmap> take(const std::string& path, const ui::PictureBytes& bytes,
                                    QSize box);

  // How many prepared decodes were handed over; for the tests.
  int handedOver() const;

 private:
  struct Request {
    std::string path;
    int width = 0;
  };
  struct Prepared {
    std::string path;
    image::Bytes bytes;
    image::Bitmap bitmap;
  };

  void run();
  bool working(const std::string& path) const;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::optional<Request> pending_;
  std::string busyWith_;
  std::optional<Prepared> prepared_;
  int handedOver_ = 0;
  bool stopping_ = false;
  std::thread worker_;
};

}  // namespace quillet::qtui
