#pragma once

namespace quillet::doodle {

struct Session;

// The doodle window's timer that waits for the screen to clear before "屏幕"
// photographs it.
inline constexpr char kScreenTimer[] = "屏幕计时器";

// The picture window's image becomes the canvas's background.
void takeSnapshot(Session& s);
// The canvas at the window's top-left, as large as the monitor of the
// picture window, whatever the window's size.
void placeCanvas(Session& s);

// The board commands of the menu "钢笔操作" and of the keys.
void refreshSnapshot(Session& s);
void previousPicture(Session& s);
void nextPicture(Session& s);
void moveDoodleLeft(Session& s);
void moveDoodleRight(Session& s);
void toggleScreenBoard(Session& s);
void toggleSemiTransparent(Session& s);
// Key R: nearly invisible, the picture window's level left as it is.
void faintDoodle(Session& s);
void saveDoodle(Session& s);

}  // namespace quillet::doodle
