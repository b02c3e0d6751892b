#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/doodle_state.h"
#include "platform/image/picture.h"
#include "platform/ui/widgets.h"

namespace quillet::core {

// The shell: the main window's lifecycle and the way back to it.
struct ShellState {
  int restartRequested = 0;
  std::string programFileName;
  int mainWindowClosed = 0;
  int savedMainLeft = 0, savedMainTop = 0, savedMainWidth = 0, savedMainHeight = 0;
  // The user was told that the state could not be saved; once is enough.
  int stateSaveReported = 0;
};

struct CaptureOrigin {
  std::int32_t x = 0, y = 0, unused1 = 0, unused2 = 0;
};

// The picture shown, where it came from and how it is laid into the window.
struct ViewerState {
  std::string currentPicturePath;
  ui::PictureBytes loadedPicture;
  int loadedWidth = 0, loadedHeight = 0;
  float aspectRatio = 0.0f;
  int lastDisplayWidth = 0;
  int alphaLevel = 0;
  std::vector<std::string> folderList;
  std::string folderPath;
  int folderIndex = 0;
  int localZoom = 0;
  int ratioLocked = 0;
};

// How the picture window floats over the others.
struct WindowModeState {
  int clickThrough = 0;
  int avoidanceOn = 0;
  int layeredExStyle = 0, plainExStyle = 0, layeredOn = 0;
};

// Mirrors and turns work on a bitmap kept between operations.
struct TransformState {
  image::Bitmap workBitmap;
  int workBitmapLoaded = 0;
  int freeRotationAngle = 0;
};

// Two int32 coordinates, as the selection keeps its anchor.
using Point = std::array<std::int32_t, 2>;

// Region capture: the frozen screen, the selection on it, and the capture
// that the viewer shows where it was on the screen.
struct CaptureState {
  ui::PictureBytes screenSnapshot;
  // Device pixels per pixel of window geometry when the screen was photographed.
  double screenPixelRatio = 1.0;
  int selectionDragging = 0;
  Point selectionStart{};
  std::string captureName;
  CaptureOrigin captureOrigin;
};

// Automatic browsing through the folder.
struct SlideshowState {
  int slideshowOn = 0;
  int slideshowWindowOpen = 0;
  int slideshowInterval = 0;
  // Started since the options window opened: the menu shows it.
  int slideshowStarted = 0;
  // A tick is running; one that opened a dialog must not be joined by more.
  int slideshowTickRunning = 0;
};

struct NoteState {
  // The note has changes that are not in its file yet.
  int textNoteMode = 0;
};

struct HelpState {
  int guideOpen = 0, thanksOpen = 0;
};

// The one process-wide record. It outlives every window: windows are
// destroyed and created again within one run, and whatever must carry over
// (the picture, the transparency, the folder list, the saved geometry) lives
// here. Grouped by the subsystem that owns each field; texts are UTF-8.
struct GlobalState : ShellState,
                     ViewerState,
                     WindowModeState,
                     TransformState,
                     CaptureState,
                     SlideshowState,
                     NoteState,
                     HelpState,
                     DoodleState {};

}  // namespace quillet::core
