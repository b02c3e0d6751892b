#include "ops/mirror_rotate.h"

#include <memory>
#include <optional>
#include <utility>

#include "core/geometry.h"
#include "core/main_controls.h"
#include "core/names.h"
#include "core/program.h"
#include "core/whole_numbers.h"
#include "platform/files.h"
#include "platform/image/bmp_direct.h"
#include "platform/image/jpeg_operations.h"
#include "platform/image/transform.h"

namespace quillet::ops {

namespace {

enum class SourceKind { None, Jpeg, Bmp };

SourceKind sourceKind(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos) return SourceKind::None;
  const std::string extension = path.substr(dot, 4);
  if (extension == ".jpg") return SourceKind::Jpeg;
  if (extension == ".bmp") return SourceKind::Bmp;
  return SourceKind::None;
}

// Mirrors and turns act only on the whole picture, never on a local zoom,
// and first pull a window that hangs off the top or left back into view.
bool prologue(core::Program& p) {
  ui::Window* w = p.main();
  if (!w || core::pictureBox(p).width() != w->width()) return false;
  if (w->left() < 10) w->setLeft(10);
  if (w->top() < 10) w->setTop(10);
  return true;
}

bool ensureLoaded(core::Program& p) {
  core::GlobalState& g = p.g();
  return g.workBitmapLoaded != 0 || loadPictureSource(p, g.workBitmap);
}

// False when there is nothing to show; the picture box then keeps what it had.
bool showBmp(core::Program& p, image::Bytes bytes) {
  if (bytes.empty()) return false;
  core::pictureBox(p).setPicture(
      std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes)),
      p.g().currentPicturePath);
  return true;
}

bool showWorkBitmap(core::Program& p) {
  return showBmp(p, image::flipToBmp(p.g().workBitmap, false, false));
}

// The bytes of the current picture's file when it is a JPEG, to be decoded
// and mirrored in one go.
std::optional<image::Bytes> jpegSource(core::Program& p) {
  const std::string& path = p.g().currentPicturePath;
  if (sourceKind(path) != SourceKind::Jpeg) return std::nullopt;
  auto bytes = files::read(path);
  if (!bytes || image::detectFormat(*bytes) != image::Format::Jpeg) return std::nullopt;
  return bytes;
}

void takeRatioFromWorkBitmap(core::Program& p) {
  const image::Bitmap& b = p.g().workBitmap;
  p.g().aspectRatio = static_cast<float>(b.height) / static_cast<float>(b.width);
}

// Setting an unchanged width runs no resize handler, which would leave the
// box at the old proportions with the new picture squeezed into it; the
// handler's fitting is run directly then.
void setWindowWidth(core::Program& p, int width) {
  ui::Window& w = *p.main();
  if (w.width() != width) {
    w.setWidth(width);
  } else {
    core::fitToPicture(p);
  }
}

void mirror(core::Program& p, bool horizontal, bool vertical) {
  core::GlobalState& g = p.g();
  if (!prologue(p)) return;
  if (g.workBitmapLoaded == 0) {
    // The first mirror of a JPEG decodes it straight into the mirrored
    // bitmap, the bytes shown and the work file at once.
    if (const auto jpeg = jpegSource(p)) {
      g.workBitmap = image::Bitmap();  // an earlier picture's, of no more use
      auto mirrored = image::mirrorJpeg(*jpeg, horizontal, vertical, true,
                                        p.programPath(core::kWorkBitmapFile));
      if (!mirrored) return;
      g.workBitmap = std::move(mirrored.value.bitmap);
      g.workBitmapLoaded = showBmp(p, std::move(mirrored.value.bmp)) ? 1 : 0;
      return;
    }
  }
  if (!ensureLoaded(p)) return;
  g.workBitmapLoaded = showBmp(p, image::flipInPlaceToBmp(g.workBitmap, horizontal, vertical));
}

// Shows a turned workBitmap from its BMP bytes and lets the window take its
// proportions.
void showTurned(core::Program& p, image::Bytes bytes) {
  core::GlobalState& g = p.g();
  if (!showBmp(p, std::move(bytes))) {
    g.workBitmapLoaded = 0;
    return;
  }
  takeRatioFromWorkBitmap(p);
  setWindowWidth(p, g.workBitmap.width);
  g.workBitmapLoaded = 1;
}

}  // namespace

bool loadPictureSource(core::Program& p, image::Bitmap& out) {
  const std::string& path = p.g().currentPicturePath;
  const SourceKind kind = sourceKind(path);
  if (kind == SourceKind::None) return false;
  auto bytes = files::read(path);
  if (!bytes) return false;
  // The decoded picture is what reading the converted file back would give,
  // so it is kept rather than read again. The work BMP is still written for
  // whoever looks for it, but a program folder the user may not write to
  // costs nothing more than that file.
  if (kind == SourceKind::Jpeg && image::detectFormat(*bytes) == image::Format::Jpeg) {
    auto decoded =
        image::mirrorJpeg(*bytes, false, false, false, p.programPath(core::kWorkBitmapFile));
    if (!decoded) return false;
    out = std::move(decoded.value.bitmap);
    return true;
  }
  auto decoded = image::decode(*bytes);
  if (!decoded) return false;
  if (kind == SourceKind::Jpeg) {
    image::writeBmpFile(p.programPath(core::kWorkBitmapFile), decoded.value);
  }
  out = std::move(decoded.value);
  return true;
}

void mirrorHorizontal(core::Program& p) { mirror(p, true, false); }
void mirrorVertical(core::Program& p) { mirror(p, false, true); }
void mirrorDiagonal(core::Program& p) { mirror(p, true, true); }

void rotateRightAngle(core::Program& p) {
  core::GlobalState& g = p.g();
  if (!prologue(p) || !ensureLoaded(p)) return;
  image::Bitmap turned;
  image::Bytes bytes;
  if (!image::quarterTurnWithBmp(g.workBitmap, turned, bytes)) return;
  g.workBitmap = std::move(turned);
  showTurned(p, std::move(bytes));
}

void rotateByAngle(core::Program& p) {
  core::GlobalState& g = p.g();
  if (!prologue(p)) return;
  // Loaded aside until the angle is confirmed: a cancelled box must leave
  // workBitmap, and the mirrors accumulated on it, as they were.
  image::Bitmap source;
  if (!loadPictureSource(p, source)) return;
  const auto answer = p.backend().inputBox(p.main(), kRotatePrompt, kRotateTitle, "");
  if (!answer || !p.main()) return;
  const auto degrees = core::readDegrees(*answer);
  if (!degrees) return;
  image::Bitmap rotated = image::rotateBitmap(source, *degrees, 0);
  if (rotated.empty()) return;
  g.workBitmap = std::move(rotated);
  showTurned(p, image::flipToBmp(g.workBitmap, false, false));
}

void freeRotate(core::Program& p, int step) {
  core::GlobalState& g = p.g();
  if (!p.main()) return;
  g.freeRotationAngle += step;
  image::Bitmap source;
  if (!loadPictureSource(p, source)) return;
  image::Bitmap rotated = image::rotateBitmap(source, g.freeRotationAngle, kFreeRotationFill);
  if (rotated.empty()) return;
  g.workBitmap = std::move(rotated);
  if (!showWorkBitmap(p)) return;
  takeRatioFromWorkBitmap(p);
  // The width stays; the height follows the new proportions so that the
  // turned picture is not shown stretched. A local zoom keeps its box.
  ui::Window& w = *p.main();
  if (core::pictureBox(p).width() == w.width() && g.localZoom == 0) core::fitToPicture(p);
}

}  // namespace quillet::ops
