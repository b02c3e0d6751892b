#include "platform/image/reasons.h"

#include "platform/image/picture.h"

namespace quillet::image::detail {

static_assert(kMaxPixels == 100'000'000, "the texts below say 1 亿");

namespace {

std::string dimensions(std::int64_t width, std::int64_t height) {
  return std::to_string(width) + " × " + std::to_string(height);
}

std::string wrapped(std::string_view head, std::string_view what) {
  std::string text(head);
  text += "（";
  text += what;
  text += "）";
  return text;
}

}  // namespace

std::string invalidSize(std::int64_t width, std::int64_t height) {
  return "图片尺寸无效：" + dimensions(width, height);
}

std::string tooLarge(std::int64_t width, std::int64_t height) {
  if (width > kMaxSide || height > kMaxSide) {
    return "图片过大：" + dimensions(width, height) + " 像素，边长超过上限 " +
           std::to_string(kMaxSide) + " 像素";
  }
  return "图片过大：" + dimensions(width, height) + " 像素，超过上限 1 亿像素";
}

std::string unsupportedBmp(std::string_view what) { return wrapped("不支持的 BMP 格式", what); }

std::string corruptBmp(std::string_view what) { return "BMP 数据损坏：" + std::string(what); }

std::string unsupportedJpeg(std::string_view what) { return wrapped("不支持的 JPEG 格式", what); }

std::string corruptJpeg(std::string_view what) { return "JPEG 数据损坏：" + std::string(what); }

std::string checkSize(std::int64_t width, std::int64_t height) {
  if (width <= 0 || height <= 0) return invalidSize(width, height);
  // Each side is bounded first, so the product below cannot overflow.
  if (width > kMaxSide || height > kMaxSide || width * height > kMaxPixels) {
    return tooLarge(width, height);
  }
  return {};
}

}  // namespace quillet::image::detail
