#include "platform/image/big_buffers.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <new>

namespace quillet::image::detail {

// Huge pages were tried for these buffers: four times cheaper to touch in a
// process that had used some before, but the first one a process touches
// cost over a third of a second more here, so ordinary pages serve.
bool sizeLarge(Bytes& bytes, std::size_t size) {
  try {
    if (bytes.capacity() < size) bytes = Bytes();
    bytes.resize(size);
  } catch (const std::bad_alloc&) {
    bytes = Bytes();
    return false;
  }
  return true;
}

FreshPages::FreshPages(std::size_t size) {
  if (size == 0) return;
  void* mapped = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) return;
  data_ = static_cast<std::uint8_t*>(mapped);
  size_ = size;
}

FreshPages::~FreshPages() {
  if (data_ != nullptr) ::munmap(data_, size_);
}

bool FreshPages::populate(std::size_t from, std::size_t to) const {
#ifdef MADV_POPULATE_WRITE
  const long page = ::sysconf(_SC_PAGESIZE);
  if (data_ == nullptr || to > size_ || from >= to || page <= 0) return false;
  from -= from % static_cast<std::size_t>(page);
  return ::madvise(data_ + from, to - from, MADV_POPULATE_WRITE) == 0;
#else
  (void)from;
  (void)to;
  return false;
#endif
}

}  // namespace quillet::image::detail

namespace quillet::image {

void reuseLargeBuffers() {
  constexpr int kKept = 256 << 20;
  ::mallopt(M_MMAP_THRESHOLD, kKept);
  ::mallopt(M_TRIM_THRESHOLD, kKept);
  // A second thread's own heap cannot hold a buffer this size; one heap for
  // all threads lets the operations that make theirs on a second thread
  // reuse them too.
  ::mallopt(M_ARENA_MAX, 1);
}

void releaseFreedMemory() { ::malloc_trim(0); }

}  // namespace quillet::image
