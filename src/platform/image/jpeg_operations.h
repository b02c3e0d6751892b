#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/image/output_file.h"
#include "platform/image/picture.h"

// Whole operations from a JPEG, decoding it a band of rows at a time while a
// second thread puts each band in its place in the result (see
// band_pipeline.h): decoding, transforming and writing overlap, each byte
// of the result is written once, and no full-size copy of the decoded
// picture is held unless the operation needs one (a rotation by any angle
// samples from anywhere in it). Each gives byte for byte what decoding the
// JPEG whole and running the in-memory operation on it gives.
namespace quillet::image {

struct FileOutcome {
  enum class Failure { None, Picture, File, CanvasTooLarge };
  Failure failure = Failure::None;
  std::string error;  // the picture's reason, or the system's for the file
  bool ok() const { return failure == Failure::None; }
};

// flipToBmp of the picture; without flags, the JPEG as a 24-bit BMP.
FileOutcome flipJpegToBmpFile(ByteView jpeg, bool horizontal, bool vertical,
                              const std::filesystem::path& out, OutputFile::Durability durability);
// quarterTurn of the picture, or three of them when not `clockwise`.
FileOutcome quarterTurnJpegToBmpFile(ByteView jpeg, bool clockwise,
                                     const std::filesystem::path& out,
                                     OutputFile::Durability durability);
// rotateToBmp of the picture; CanvasTooLarge past kMaxRotatedPixels.
FileOutcome rotateJpegToBmpFile(ByteView jpeg, double degrees, std::uint32_t fill,
                                const std::filesystem::path& out,
                                OutputFile::Durability durability);
// applyGrayLevels of the JPEG.
FileOutcome grayJpegToBmpFile(ByteView jpeg, int levels, const std::filesystem::path& out,
                              OutputFile::Durability durability);

// What the program keeps of a picture it mirrors: the mirrored bitmap and,
// when asked for, its 24-bit BMP file bytes to show.
struct MirroredJpeg {
  Bitmap bitmap;
  Bytes bmp;
};

// The JPEG decoded and mirrored as flipBitmap mirrors it, with its BMP bytes
// when `wantBmp`; and, when `original` is not empty, the picture as decoded
// written there as a 24-bit BMP, as writeBmpFile writes it. That file is a
// courtesy to whoever reads it: failing to write it fails nothing.
Result<MirroredJpeg> mirrorJpeg(ByteView jpeg, bool horizontal, bool vertical, bool wantBmp,
                                const std::filesystem::path& original);

}  // namespace quillet::image
