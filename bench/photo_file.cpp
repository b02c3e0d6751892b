// Writes the benchmarks' 24-megapixel photo as a quality-90 JPEG file, so
// that scripts can time other programs on the very picture the engine's own
// benchmarks use. The height may be cut (default 3940: not a multiple of the
// 16-row blocks the encoder works in, so the last band is a partial one).
#include <charconv>
#include <cstdio>
#include <fstream>
#include <string_view>

#include "platform/image/transform.h"
#include "support/photo.h"

int main(int argc, char** argv) {
  using namespace quillet;
  int height = 3940;
  if (argc == 3) {
    const std::string_view text = argv[2];
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), height);
    if (ec != std::errc() || end != text.data() + text.size() || height < 1 ||
        height > bench::kPhotoHeight) {
      argc = 0;
    }
  }
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: %s OUT.jpg [HEIGHT, at most %d]\n", argv[0], bench::kPhotoHeight);
    return 2;
  }
  const image::Bitmap cut = image::cropBitmap(bench::photo(), 0, 0, bench::kPhotoWidth, height);
  const auto jpeg = image::encodeJpeg(cut, 90);
  if (!jpeg) {
    std::fprintf(stderr, "%s\n", jpeg.error.c_str());
    return 1;
  }
  std::ofstream file(argv[1], std::ios::binary);
  file.write(reinterpret_cast<const char*>(jpeg.value.data()),
             static_cast<std::streamsize>(jpeg.value.size()));
  return file.flush() ? 0 : 1;
}
