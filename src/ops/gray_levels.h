#pragma once

namespace quillet::core {
class Program;
}

// Gray levels of the picture shown in the main window. The reduced picture
// replaces only what the picture box shows: loadedPicture, aspectRatio and
// workBitmap stay, so "恢复原图" and "还原" bring the colours back.
namespace quillet::ops {

inline constexpr const char* kGrayPrompt = "Please input gray value 1-256";
inline constexpr const char* kGrayTitle = "Gray value";

// Menu "灰度去色" → "值为2" … "值为128": reloads the picture's file, then reduces it.
void reduceGrayLevels(core::Program& p, int levels);
// Menu "灰度去色" → "自定义": reloads the file, then asks for the number of levels.
void askGrayLevels(core::Program& p);
// Key Insert: asks for the number of levels and reduces the picture as shown,
// without reloading; a picture already reduced stays as it is.
void grayFromKey(core::Program& p);
// Menu "灰度去色" → "还原": reloads the picture's file in colour.
void restoreColours(core::Program& p);

}  // namespace quillet::ops
