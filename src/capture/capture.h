#pragma once

namespace quillet::core {
class Program;
}

namespace quillet::capture {

// "截取图片" and the key D: a region of the frozen screen becomes the picture.
void captureRegion(core::Program& p);

}  // namespace quillet::capture
