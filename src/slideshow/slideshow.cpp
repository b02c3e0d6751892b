#include "slideshow/slideshow.h"

namespace quillet::slideshow {

// Automatic browsing is not part of this version yet; the menu entry and the
// key already lead here so that they need no change when it comes.
void toggleSlideshow(core::Program& /*p*/) {}

}  // namespace quillet::slideshow
