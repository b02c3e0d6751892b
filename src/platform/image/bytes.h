#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/image/picture.h"

// Fixed-width reads from untrusted bytes. The `has` check comes first at every
// call site; the readers themselves trust their pointer.
namespace quillet::image::detail {

inline bool has(ByteView bytes, std::uint64_t offset, std::uint64_t count) {
  return offset <= bytes.size() && count <= bytes.size() - offset;
}

inline std::uint16_t le16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::int32_t le32s(const std::uint8_t* p) { return static_cast<std::int32_t>(le32(p)); }

inline std::uint16_t be16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

inline void putLe16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void putLe32(std::uint8_t* p, std::uint32_t v) {
  putLe16(p, v);
  putLe16(p + 2, v >> 16);
}

}  // namespace quillet::image::detail
