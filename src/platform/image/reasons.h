#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Why a picture could not be read, worded once for every codec so that the
// user sees the same sentence for the same cause whatever the file type.
namespace quillet::image::detail {

inline constexpr std::string_view kEmptyFile = "文件是空的";
inline constexpr std::string_view kNotAPicture = "不是 JPEG 或 BMP 图片";
inline constexpr std::string_view kTruncated = "文件不完整（已截断）";
inline constexpr std::string_view kOutOfMemory = "内存不足，无法打开图片";
inline constexpr std::string_view kNoBitmap = "没有可保存的图片";
inline constexpr std::string_view kCannotOpen = "无法打开文件";

std::string invalidSize(std::int64_t width, std::int64_t height);
std::string tooLarge(std::int64_t width, std::int64_t height);
std::string unsupportedBmp(std::string_view what);
std::string corruptBmp(std::string_view what);
std::string unsupportedJpeg(std::string_view what);
std::string corruptJpeg(std::string_view what);

// Empty when a picture of this size may be allocated; otherwise the reason.
// Callers pass header values unchecked, so any int64 must be safe here.
std::string checkSize(std::int64_t width, std::int64_t height);

}  // namespace quillet::image::detail
