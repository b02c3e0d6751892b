#pragma once

// The numbers of the program's own menu icon set, for the menus that show
// them and the backend that draws them. A mode shows its state by switching
// between two numbers.
namespace quillet::ui::icon {

inline constexpr int kOpenPicture = 1;
inline constexpr int kHidePicture = 2;
inline constexpr int kCaptureRegion = 3;
inline constexpr int kPreviousPicture = 4;
inline constexpr int kSlideshowIdle = 5;
inline constexpr int kNextPicture = 6;
inline constexpr int kTranslucent = 7;
inline constexpr int kRestorePicture = 8;
inline constexpr int kMirror = 9;
inline constexpr int kRotate = 10;
inline constexpr int kAvoidanceOff = 11;
inline constexpr int kTopmost = 12;
inline constexpr int kGrayLevels = 13;
inline constexpr int kRatioMode = 14;
inline constexpr int kDoodle = 15;
inline constexpr int kClickThrough = 16;
inline constexpr int kTextNote = 17;
inline constexpr int kHelp = 18;
inline constexpr int kSlideshowRunning = 19;
inline constexpr int kNotTopmost = 20;
inline constexpr int kCloseProgram = 21;
inline constexpr int kAvoidanceOn = 22;
inline constexpr int kOpaque = 26;

}  // namespace quillet::ui::icon
