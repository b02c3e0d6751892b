#pragma once

namespace quillet::core {
class Program;
}

namespace quillet::slideshow {

// "自动浏览" and the key S: the folder's pictures one after another on a timer.
void toggleSlideshow(core::Program& p);

}  // namespace quillet::slideshow
