#include "support/photo.h"

#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace quillet::bench {

const image::Bitmap& photo() {
  static const image::Bitmap picture = [] {
    image::Bitmap b{kPhotoWidth, kPhotoHeight,
                    image::Bytes(static_cast<std::size_t>(kPhotoWidth) * kPhotoHeight * 3)};
    std::vector<int> columnWave(kPhotoWidth);
    std::vector<int> rowWave(kPhotoHeight);
    for (int x = 0; x < kPhotoWidth; ++x) {
      columnWave[x] = static_cast<int>(60 * std::sin(x / 650.0));
    }
    for (int y = 0; y < kPhotoHeight; ++y) {
      rowWave[y] = static_cast<int>(50 * std::cos(y / 480.0));
    }
    std::uint32_t noise = 0x9E3779B9u;
    for (int y = 0; y < kPhotoHeight; ++y) {
      std::uint8_t* p = b.row(y);
      for (int x = 0; x < kPhotoWidth; ++x, p += 3) {
        noise ^= noise << 13;
        noise ^= noise >> 17;
        noise ^= noise << 5;
        const int grain = static_cast<int>(noise % 17) - 8;
        // Discs on a grid: sharp boundaries the transforms have to carry.
        const int dx = x % 750 - 375;
        const int dy = y % 750 - 375;
        const int shade = dx * dx + dy * dy < 200 * 200 ? -70 : 0;
        const int base = 120 + columnWave[x] + rowWave[y] + shade + grain;
        p[0] = static_cast<std::uint8_t>(std::clamp(base + x / 100, 0, 255));
        p[1] = static_cast<std::uint8_t>(std::clamp(base + y / 80 - 20, 0, 255));
        p[2] = static_cast<std::uint8_t>(std::clamp(base - x / 120 + 30, 0, 255));
      }
    }
    return b;
  }();
  return picture;
}

const image::Bytes& photoJpeg() {
  static const image::Bytes jpeg = [] {
    auto encoded = image::encodeJpeg(photo(), 90);
    if (!encoded) {
      std::fprintf(stderr, "cannot encode the test photo: %s\n", encoded.error.c_str());
      std::exit(2);
    }
    return encoded.value;
  }();
  return jpeg;
}

std::filesystem::path freshFolder(const std::string& what) {
  std::string pattern = (std::filesystem::temp_directory_path() / ("quillet-" + what + ".XXXXXX"));
  if (!::mkdtemp(pattern.data())) {
    std::perror("mkdtemp");
    std::exit(2);
  }
  return pattern;
}

void writePhoto(const std::filesystem::path& path) {
  const auto& jpeg = photoJpeg();
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(jpeg.data()), static_cast<std::streamsize>(jpeg.size()));
}

}  // namespace quillet::bench
