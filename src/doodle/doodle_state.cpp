#include "doodle/doodle_state.h"

namespace quillet::doodle {

void beginOpening(StrokeState& s) {
  s.penRed = 0;
  s.penGreen = 0;
  s.penBlue = 0;
  s.freehandMode = 1;
}

}  // namespace quillet::doodle
