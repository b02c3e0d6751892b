#pragma once

#include <string>
#include <vector>

namespace quillet::core {
class Program;
}

namespace quillet::viewer {

// Files dropped onto the picture window: the first picture among them opens
// as a picture chosen in the open dialog does; anything else is refused and
// the picture stays.
void onFilesDropped(core::Program& p, const std::vector<std::string>& paths);

}  // namespace quillet::viewer
