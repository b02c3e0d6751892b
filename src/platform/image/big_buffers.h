#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/image/picture.h"

namespace quillet::image::detail {

// Gives `bytes` `size` zero bytes, reusing its buffer when that is large
// enough and otherwise letting it go before the new one is taken, so that a
// full-size result never costs two. False (and `bytes` empty) when the
// memory is not there.
bool sizeLarge(Bytes& bytes, std::size_t size);

// A large buffer of zero bytes straight from the system, not written to
// first: the pages come as they are first touched, or ahead of that, on
// whichever thread calls `populate`.
class FreshPages {
 public:
  explicit FreshPages(std::size_t size);
  ~FreshPages();
  FreshPages(const FreshPages&) = delete;
  FreshPages& operator=(const FreshPages&) = delete;

  bool ok() const { return data_ != nullptr; }
  std::uint8_t* data() const { return data_; }
  std::size_t size() const { return size_; }
  // Brings in the pages of [from, to) now, without changing a byte of them,
  // so that a thread writing there later does not stop for them. Safe while
  // another thread writes into the buffer. False when the system cannot.
  bool populate(std::size_t from, std::size_t to) const;

 private:
  std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace quillet::image::detail

namespace quillet::image {

// Lets the picture-sized buffers that a program makes and drops again on
// every mirror or turn come back from the heap instead of fresh from the
// system: a fresh one costs a page fault on every 4 KiB of it, several
// times the work of the operation. Up to a few hundred MB freed stay with
// the process. Call once at start, before any picture is decoded.
void reuseLargeBuffers();

// Gives the memory freed so far back to the system. For when a picture-sized
// buffer went for good (a zoom out of a large photo), which reuseLargeBuffers
// would otherwise keep in the process.
void releaseFreedMemory();

}  // namespace quillet::image
