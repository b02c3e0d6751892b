#pragma once

#include <turbojpeg.h>

#include <string>

namespace quillet::image::detail {

// One TurboJPEG instance, created when first needed. A header that fails to
// parse leaves the library mid-header, and the next file would be parsed as
// the rest of it; renewing after a failure forgets it.
class TurboHandle {
 public:
  using Init = tjhandle (*)();
  explicit TurboHandle(Init init) : init_(init) {}
  ~TurboHandle() { drop(); }
  TurboHandle(const TurboHandle&) = delete;
  TurboHandle& operator=(const TurboHandle&) = delete;

  // nullptr when the library cannot be set up.
  tjhandle get() {
    if (handle_ == nullptr) handle_ = init_();
    return handle_;
  }
  void renew() { drop(); }
  // A new instance for a new picture. A decompressor keeps the quantization
  // and Huffman tables of the pictures it read, for files that leave them
  // out; a damaged file must not be decoded with another picture's tables.
  tjhandle fresh() {
    drop();
    return get();
  }
  // The library's words for the last failure; the handle is renewed.
  std::string failure() {
    std::string why = handle_ != nullptr ? tjGetErrorStr2(handle_) : "";
    drop();
    return why;
  }

 private:
  void drop() {
    if (handle_ != nullptr) tjDestroy(handle_);
    handle_ = nullptr;
  }

  Init init_;
  tjhandle handle_ = nullptr;
};

// Each thread keeps one of each kind; a decode takes a fresh one (see fresh()).
TurboHandle& decompressor();
TurboHandle& compressor();

}  // namespace quillet::image::detail
