#pragma once

namespace quillet::core {
class Program;
}
namespace quillet::ui {
class Window;
}

// The slideshow's options window as designed: its controls, their places
// and the handlers they run.
namespace quillet::slideshow {

inline constexpr const char* kWindowKey = "slideshow";
inline constexpr const char* kBar = "进度条1";
inline constexpr const char* kClock = "进度条时钟";
inline constexpr const char* kIntervalBox = "时间间隔组合框";
inline constexpr const char* kBackward = "向前单选框";

// Lays out a new options window and binds its controls.
void buildOptionsWindow(core::Program& p, ui::Window& w);

}  // namespace quillet::slideshow
