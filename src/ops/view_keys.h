#pragma once

namespace quillet::core {
class Program;
}

// What the keys do to the window and the picture box by themselves: nudging,
// sizing, fixed transparency steps, two-pixel local zoom and the overlays.
namespace quillet::ops {

using core::Program;

// K: the picture box's thin frame on or off.
void toggleFrame(Program& p);
// M: whether pressing anywhere in the window and dragging moves it.
void toggleFreeMove(Program& p);
// F held: the picture's sizes and the transparency over the picture.
void showInfoLabel(Program& p);
void hideInfoLabel(Program& p);
// F1 held: the shortcut overlay over the whole window.
void showShortcutOverlay(Program& p);
void hideShortcutOverlay(Program& p);
// Minus: 5 px narrower, never below 20. Plus: 5 px wider, never past the screen.
void narrowWindow(Program& p);
void widenWindow(Program& p);
// Numeric-pad multiply: as wide as the screen allows, 20 px from its corner.
void fitToScreen(Program& p);
// Digit keys: the window's alpha in steps of 25, 0 for opaque; the stored
// transparency stays, so restoring the picture undoes it.
void setAlphaByDigit(Program& p, int key);
// Arrows: the picture box by 10 px while part of the window shows beside it,
// by 5 px while zoomed in, else the window itself by 1 px.
void nudge(Program& p, int key);
// Period: the picture grows by one pixel on each side.
void zoomInByTwo(Program& p);
// Comma: the picture shrinks by one pixel on each side, down to the window's
// size; false when there was no local zoom to shrink.
bool zoomOutByTwo(Program& p);

}  // namespace quillet::ops
