#pragma once

namespace quillet::core {
class Program;
}

// Automatic browsing: the options window, its one-second countdown, and the
// strip it becomes on the picture's top edge while it runs.
namespace quillet::slideshow {

// "自动浏览" and the key S: opens the options window, or closes it.
void toggleSlideshow(core::Program& p);
// When the options window goes, whichever way.
void onOptionsDestroyed(core::Program& p);
// The window's "×".
void closeSlideshowWindow(core::Program& p);
// "开始": the number in the interval box becomes the interval; the countdown runs.
void startSlideshow(core::Program& p);
// "开始浏览": the countdown starts again from the whole interval.
void restartSlideshow(core::Program& p);
// "停止浏览": the countdown stops where it is.
void stopSlideshow(core::Program& p);
// "还原窗口": the full window again, against the picture's right edge.
void restoreSlideshowWindow(core::Program& p);
// An entry chosen from the interval list becomes the interval.
void chooseSlideshowInterval(core::Program& p);
// Every second while running: one step of the countdown; at zero, the next
// (or previous) picture of the folder.
void slideshowTick(core::Program& p);

enum class MainChange { Moved, Resized };
// Called after the picture window moved or was resized: the strip (or the
// idle window) keeps to it.
void dockSlideshowWindow(core::Program& p, MainChange change);

}  // namespace quillet::slideshow
