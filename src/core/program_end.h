#pragma once

namespace quillet::core {

class Program;

// "关闭程序", the key X and the slideshow on a window too flat to show it:
// saves the state, removes the work BMP and ends the process.
void closeProgram(Program& p);

}  // namespace quillet::core
