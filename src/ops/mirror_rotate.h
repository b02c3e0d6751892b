#pragma once

#include <cstdint>
#include <string>

#include "platform/image/picture.h"

namespace quillet::core {
class Program;
}

// Mirrors and turns of the picture shown in the main window. They work on
// workBitmap: mirrors and quarter turns accumulate on it, angle rotations
// start again from the picture's file. Turns go clockwise as seen on screen
// (see platform/image/transform.h). The results go into the picture box as
// BMP bytes; currentPicturePath, loadedPicture and the file stay as they are.
namespace quillet::ops {

inline constexpr const char* kRotatePrompt = "输入欲旋转的度数";
inline constexpr const char* kRotateTitle = "旋转";
// The picture box's own background, so the uncovered corners blend in.
inline constexpr std::uint32_t kFreeRotationFill = 0x606060;

// Menu "镜像翻转" ("水平", "纵向", "对角"); keys Home, End, Delete.
void mirrorHorizontal(core::Program& p);
void mirrorVertical(core::Program& p);
void mirrorDiagonal(core::Program& p);
// Menu "角度旋转" → "直角": a quarter turn; the window takes the new proportions.
void rotateRightAngle(core::Program& p);
// Menu "角度旋转" → "自定": asks for whole degrees and turns the file's picture, black corners.
void rotateByAngle(core::Program& p);
// Alt+Right (step 1) and Alt+Left (step -1): turns the file's picture by the
// accumulated freeRotationAngle, keeping the window's width.
void freeRotate(core::Program& p, int step);

// The picture the transforms start from, as of the current picture's file:
// a ".jpg" (exactly, four characters from the last ".") is decoded and also
// written out as the work BMP; a ".bmp" is read itself. False, with `out`
// untouched, when there is no such file or it cannot be read.
bool loadPictureSource(core::Program& p, image::Bitmap& out);

}  // namespace quillet::ops
