#pragma once

#include <string>

#include "platform/image/picture.h"

namespace quillet::core {
class Program;
}

namespace quillet::capture {

// Where a capture was written, or why it could not be.
struct Saved {
  std::string path;
  std::string problem;
};

// Writes the captured picture into the program's "pic" folder as
// captureName + ".jpg" (quality 80), encoded straight from its pixels, under
// a random name from 0 to 10000 that no file there has yet, nor takes while
// the picture is written. Nothing is left behind when it fails.
Saved saveCapture(core::Program& p, const image::Bitmap& picture);

}  // namespace quillet::capture
