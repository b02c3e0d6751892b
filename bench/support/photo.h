#pragma once

#include <filesystem>
#include <string>

#include "platform/image/picture.h"

namespace quillet::bench {

inline constexpr int kPhotoWidth = 6000;
inline constexpr int kPhotoHeight = 4000;

// A 24-megapixel photo-like picture, the same on every run: smooth light and
// colour, sensor-like noise and a few hard edges.
const image::Bitmap& photo();
// The same picture as a quality-90 JPEG.
const image::Bytes& photoJpeg();

// A fresh folder of its own under the temporary folder (a fixed name there
// could be another user's), named after `what`; ends the run when it cannot.
std::filesystem::path freshFolder(const std::string& what);
// Writes photoJpeg() to `path`.
void writePhoto(const std::filesystem::path& path);

}  // namespace quillet::bench
