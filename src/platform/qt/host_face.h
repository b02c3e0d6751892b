#pragma once

class QPainter;

namespace quillet::qtui {

// The face a model window names with Window::setFace.
inline constexpr const char* kHostDotFace = "host-dot";

// The host window's 15 x 15 picture: a red dot on a yellow and orange ground.
void paintHostDot(QPainter& painter);

}  // namespace quillet::qtui
