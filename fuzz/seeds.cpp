// Writes small valid pictures of every kind the readers know into
// CORPUS/bmp and CORPUS/jpeg, as starting points for the fuzz targets.
#include <turbojpeg.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/image/picture.h"
#include "support/libjpeg_encoder.h"

namespace {

using quillet::image::Bitmap;
using quillet::image::Bytes;

Bitmap gradient(int width, int height) {
  Bitmap b{width, height, Bytes(static_cast<std::size_t>(width) * height * 3)};
  for (std::size_t i = 0; i < b.rgb.size(); ++i) b.rgb[i] = static_cast<std::uint8_t>(i * 37 / 5);
  return b;
}

void put(Bytes& b, std::size_t at, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A BMP of `width` x `height` whose pixel data is `pixels` as stored.
Bytes bmp(std::uint32_t headerSize, int width, int height, int bits, std::uint32_t compression,
          const Bytes& extra, const Bytes& pixels) {
  Bytes out(14 + headerSize);
  out[0] = 'B';
  out[1] = 'M';
  put(out, 14, headerSize, 4);
  if (headerSize == 12) {
    put(out, 18, static_cast<std::uint32_t>(width), 2);
    put(out, 20, static_cast<std::uint32_t>(height), 2);
    put(out, 22, 1, 2);
    put(out, 24, static_cast<std::uint32_t>(bits), 2);
  } else {
    put(out, 18, static_cast<std::uint32_t>(width), 4);
    put(out, 22, static_cast<std::uint32_t>(height), 4);
    put(out, 26, 1, 2);
    put(out, 28, static_cast<std::uint32_t>(bits), 2);
    put(out, 30, compression, 4);
  }
  out.insert(out.end(), extra.begin(), extra.end());
  put(out, 10, static_cast<std::uint32_t>(out.size()), 4);
  out.insert(out.end(), pixels.begin(), pixels.end());
  put(out, 2, static_cast<std::uint32_t>(out.size()), 4);
  return out;
}

Bytes palette(int entries, int entrySize) {
  Bytes p;
  for (int i = 0; i < entries; ++i) {
    for (int c = 0; c < entrySize; ++c) p.push_back(static_cast<std::uint8_t>(i * (c + 3) * 11));
  }
  return p;
}

Bytes masks(std::vector<std::uint32_t> values) {
  Bytes m(values.size() * 4);
  for (std::size_t i = 0; i < values.size(); ++i) put(m, 4 * i, values[i], 4);
  return m;
}

Bytes counting(std::size_t n) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i * 7);
  return b;
}

// Fresh handle each time: a progressive encode leaves settings behind.
Bytes library(const Bytes& pixels, int width, int height, int format, int subsampling, int flags) {
  tjhandle handle = tjInitCompress();
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  Bytes out;
  if (tjCompress2(handle, pixels.data(), width, 0, height, format, &buffer, &size, subsampling, 85,
                  flags) == 0) {
    out.assign(buffer, buffer + size);
  }
  tjFree(buffer);
  tjDestroy(handle);
  return out;
}

bool write(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s CORPUS_DIR\n", argv[0]);
    return 2;
  }
  const std::filesystem::path corpus = argv[1];
  std::filesystem::create_directories(corpus / "bmp");
  std::filesystem::create_directories(corpus / "jpeg");

  const std::vector<std::pair<std::string, Bytes>> bmps = {
      {"rgb24", quillet::image::encodeBmp24(gradient(13, 7))},
      {"pal1", bmp(40, 9, 3, 1, 0, palette(2, 4), counting(12))},
      {"pal4", bmp(40, 5, 3, 4, 0, palette(16, 4), counting(12))},
      {"pal8", bmp(40, 5, 3, 8, 0, palette(256, 4), counting(24))},
      {"pal8core", bmp(12, 5, 3, 8, 0, palette(7, 3), counting(24))},
      {"pal8topdown", bmp(40, 5, -3, 8, 0, palette(256, 4), counting(24))},
      {"rgb16-565", bmp(40, 3, 3, 16, 3, masks({0xF800, 0x07E0, 0x001F}), counting(24))},
      {"rgb32-v5", bmp(124, 3, 2, 32, 3, {}, counting(24))},
      {"rgb32-bitfields", bmp(40, 3, 2, 32, 3, masks({0xFF, 0xFF00, 0xFF0000}), counting(24))},
      {"rle8", bmp(40, 6, 4, 8, 1, palette(4, 4),
                   {3, 1, 0, 3, 2, 3, 1, 0, 0, 0, 2, 2, 1, 2, 3, 0, 0, 10, 1, 0, 1})},
      {"rle4",
       bmp(40, 6, 2, 4, 2, palette(16, 4), {5, 0x12, 0, 3, 0x34, 0x50, 0, 0, 2, 0x77, 0, 1})},
      {"rle24", bmp(64, 4, 2, 24, 4, {},
                    {2, 1, 2, 3, 0, 3, 4, 5, 6, 7, 8, 9, 1, 2, 3, 0, 0, 0, 1, 9, 9, 9, 0, 1})},
  };
  const Bitmap picture = gradient(33, 17);
  const std::vector<std::pair<std::string, Bytes>> jpegs = {
      {"baseline", quillet::image::encodeJpeg(picture, 90).value},
      {"small", quillet::image::encodeJpeg(gradient(8, 8), 50).value},
      {"progressive", library(picture.rgb, 33, 17, TJPF_RGB, TJSAMP_420, TJFLAG_PROGRESSIVE)},
      {"grey", library(Bytes(33 * 17, 90), 33, 17, TJPF_GRAY, TJSAMP_GRAY, 0)},
      {"cmyk", library(counting(16 * 8 * 4), 16, 8, TJPF_CMYK, TJSAMP_444, 0)},
      {"422", library(picture.rgb, 33, 17, TJPF_RGB, TJSAMP_422, 0)},
      {"4x2-restarts", quillet::testing::libjpegEncoded(picture, 4, 2, 75, 1)},
  };
  bool ok = true;
  for (const auto& [name, bytes] : bmps) ok = write(corpus / "bmp" / (name + ".bmp"), bytes) && ok;
  for (const auto& [name, bytes] : jpegs) {
    ok = !bytes.empty() && write(corpus / "jpeg" / (name + ".jpg"), bytes) && ok;
  }
  return ok ? 0 : 1;
}
