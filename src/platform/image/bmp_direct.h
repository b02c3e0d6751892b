#pragma once

#include <filesystem>
#include <optional>

#include "platform/image/picture.h"

// JPEG to BMP and back with TurboJPEG working on the BMP's own layout
// (bottom-up rows, blue first, padded to four bytes), so a 24-megapixel
// picture converts without a second pass over its pixels. The bytes are the
// same as convertJpegToBmp and convertBmpToJpeg give; input those cannot
// take this way (CMYK JPEGs, BMPs that are not plain 24-bit files) goes
// through them.
namespace quillet::image {

Result<Bytes> jpegToBmp(ByteView jpeg);
Result<Bytes> bmpToJpeg(ByteView bmp, int quality = 80);

// Writes `bitmap` as a 24-bit BMP file a slice at a time, so a large picture
// needs no second copy in memory; through a temporary name, so no reader
// ever sees half a file, but without waiting for the disk: for scratch files.
bool writeBmpFile(const std::filesystem::path& path, const Bitmap& bitmap);

namespace detail {

// Writes the 14-byte file header and the 40-byte info header of a bottom-up
// BMP at `h`; everything not named stays as it was (zero in a fresh buffer).
void putBmpHeaders(std::uint8_t* h, std::uint32_t dataOffset, int width, int height, int bits,
                   std::uint32_t imageSize, std::uint32_t pixelsPerMetre);

// The 54 bytes of headers of a 24-bit bottom-up BMP file of that size, as
// encodeBmp24 writes them; empty when the size does not fit the format.
Bytes bmp24Header(int width, int height);

// A zero-filled 24-bit bottom-up BMP file of the size with its headers
// written as encodeBmp24 writes them; empty when it cannot be had.
Bytes bmp24Shell(int width, int height);

// The rows of a 24-bit uncompressed bottom-up BMP whose pixel data is all
// there, where they lie in `bmp`; nothing for any other picture.
struct PlainBmp24 {
  const std::uint8_t* bottomRow;
  std::size_t stride;
  int width;
  int height;
};
std::optional<PlainBmp24> plainBmp24(ByteView bmp);

}  // namespace detail

}  // namespace quillet::image
