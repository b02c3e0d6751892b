#pragma once

#include <cstdint>
#include <functional>

#include "platform/image/picture.h"

// Mirrors, quarter turns and rotation of decoded bitmaps. Every direction
// here is as seen on screen, rows running top to bottom: a quarter turn goes
// clockwise, and so does a positive angle, so that turning by 90 degrees and
// one quarter turn give the same picture.
//
// A bitmap whose buffer is shorter than its size says, or that has no
// pixels, gives an empty bitmap; nothing reads past a buffer. The `...Into`
// forms write into `out` and reuse its buffer; `out` must not be the source.
namespace quillet::image {

// Left-right with `horizontal`, top-bottom with `vertical`, both for a half turn.
Bitmap flipBitmap(const Bitmap& bitmap, bool horizontal, bool vertical);
void flipBitmapInto(const Bitmap& bitmap, bool horizontal, bool vertical, Bitmap& out);
// The same without a second picture's worth of memory.
void flipInPlace(Bitmap& bitmap, bool horizontal, bool vertical);

// flipInPlace, and the result's 24-bit BMP file bytes made in the same pass
// over the rows, on two threads. No bytes (the bitmap flipped all the same)
// when there is no memory for them.
Bytes flipInPlaceToBmp(Bitmap& bitmap, bool horizontal, bool vertical);

// The flipped picture straight as 24-bit BMP file bytes, laid out as
// encodeBmp24 lays them out; without flags it is a faster encodeBmp24.
Bytes flipToBmp(const Bitmap& bitmap, bool horizontal, bool vertical);

// Clockwise: the top row becomes the right-hand column; width and height swap.
Bitmap quarterTurn(const Bitmap& bitmap);
void quarterTurnInto(const Bitmap& bitmap, Bitmap& out);
// The turn into `out` and its 24-bit BMP file bytes into `bmp`, each row
// written into the file while it is in the cache, on two threads. False,
// with both empty, when the picture is unusable or the memory not there.
bool quarterTurnWithBmp(const Bitmap& bitmap, Bitmap& out, Bytes& bmp);

// Rotation about the centre by `degrees` clockwise, bilinear sampling, on a
// canvas just large enough for the whole rotated picture; what the picture
// does not cover is `fill` (0x00BBGGRR). Angles are taken modulo 360, and
// multiples of 90 are exact turns without resampling. A canvas beyond
// kMaxRotatedPixels, or one that cannot be allocated, gives an empty bitmap.
Bitmap rotateBitmap(const Bitmap& bitmap, double degrees, std::uint32_t fill);
void rotateBitmapInto(const Bitmap& bitmap, double degrees, std::uint32_t fill, Bitmap& out);

// The rotated picture straight as 24-bit BMP file bytes, as encodeBmp24 of
// rotateBitmap's result would give them, without the second pass.
Bytes rotateToBmp(const Bitmap& bitmap, double degrees, std::uint32_t fill);

// The same handed to `sink` in the file's order, a band of rows at a time,
// so that no buffer of the canvas's size is needed. False when the picture
// is unusable, the canvas too large, or `sink` refused a piece.
using BmpSink = std::function<bool(ByteView)>;
bool rotateToBmpStream(const Bitmap& bitmap, double degrees, std::uint32_t fill,
                       const BmpSink& sink);

// Pixels laid out as a Bitmap's, held elsewhere.
struct BitmapView {
  const std::uint8_t* rgb = nullptr;  // width * height pixels, 3 bytes each
  int width = 0;
  int height = 0;
  std::size_t stride() const { return static_cast<std::size_t>(width) * 3; }
  BitmapView() = default;
  BitmapView(const std::uint8_t* pixels, int w, int h) : rgb(pixels), width(w), height(h) {}
  // A bitmap whose buffer is shorter than its size says gives an empty view.
  BitmapView(const Bitmap& b)  // NOLINT(google-explicit-constructor): a bitmap is a view
      : BitmapView(!b.empty() && b.rgb.size() / b.stride() >= static_cast<std::size_t>(b.height)
                       ? BitmapView(b.rgb.data(), b.width, b.height)
                       : BitmapView()) {}
};

// For a rotation split into bands done apart (angles that are not right
// angles): canvas rows [first, first + count) as rotateToBmp's file holds
// them, bottom-most first, into `out`, count rows of bmpRowStride(canvas
// width) bytes whose padding is left as it is. False when the picture is
// unusable, the canvas too large or the rows not on it.
bool rotatedBmpRows(const BitmapView& bitmap, double degrees, std::uint32_t fill, int first,
                    int count, std::uint8_t* out);
// How many of the picture's rows, from the top, those canvas rows read.
int rotationReach(Size picture, double degrees, int first, int count);

// The part of `bitmap` from (`x`, `y`), `width` by `height`, cut down to the
// bitmap's edges; empty when nothing of it lies on the bitmap.
Bitmap cropBitmap(const Bitmap& bitmap, int x, int y, int width, int height);
// `bitmap` shrunk or grown to `width` x `height`, each new pixel the mean of
// the old ones it covers; empty for an empty size.
Bitmap resampleBitmap(const Bitmap& bitmap, int width, int height);
// `bitmap` at the top left of a `width` x `height` one, the rest in `fill`
// (0x00BBGGRR); the part of it that does not fit is cut off.
Bitmap padBitmap(const Bitmap& bitmap, int width, int height, std::uint32_t fill);

// A 45-degree turn of the largest picture decode accepts needs twice its area.
inline constexpr std::int64_t kMaxRotatedPixels = 2 * kMaxPixels;

// The angle in [0, 360), or 0 for an angle that is no number.
double normalisedAngle(double degrees);

// The canvas rotateBitmap makes for a picture of `size`.
Size rotatedSize(Size size, double degrees);

}  // namespace quillet::image
