#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/image/picture.h"
#include "platform/ui/widgets.h"

namespace quillet::app {

// Two int32 coordinates, the shape of the small arrays the record keeps.
using Point = std::array<std::int32_t, 2>;

struct CaptureOrigin {
  std::int32_t x = 0, y = 0, unused1 = 0, unused2 = 0;
};

// The one process-wide record. It outlives every window: windows are
// destroyed and created again within one run, and whatever must carry over
// (the picture, the transparency, the folder list, the saved geometry) lives
// here. Texts are UTF-8.
struct GlobalState {
  // Shell and viewer.
  int restartRequested = 0;
  std::string programFileName;
  int mainWindowClosed = 0;
  int savedMainLeft = 0, savedMainTop = 0, savedMainWidth = 0, savedMainHeight = 0;
  int clickThrough = 0;
  std::string captureName;
  int loadedWidth = 0, loadedHeight = 0;
  float aspectRatio = 0.0f;
  CaptureOrigin captureOrigin;
  int lastDisplayWidth = 0;
  ui::PictureBytes loadedPicture;
  std::string currentPicturePath;
  int alphaLevel = 0;
  std::vector<std::string> folderList;
  std::string folderPath;
  int folderIndex = 0;
  int slideshowWindowOpen = 0;
  int colourWindowOpened = 0;
  int textNoteMode = 0;
  int ratioLocked = 0;
  int localZoom = 0;
  int avoidanceOn = 0;
  int layeredExStyle = 0, plainExStyle = 0, layeredOn = 0;

  // Mirror and rotation.
  image::Bitmap workBitmap;
  int workBitmapLoaded = 0;
  int freeRotationAngle = 0;

  // Slideshow.
  int slideshowOn = 0;
  int slideshowInterval = 0;

  // Doodle window and pen.
  int doodlePlainExStyle = 0;
  int screenBoardOn = 0;
  int freehandMode = 0, lineMode = 0, frameMode = 0, perspectiveMode = 0, pressureOn = 0;
  int penRed = 0, penGreen = 0, penBlue = 0;
  int pressureMaxWidth = 0;
  int penDown = 0;
  Point lastPoint{}, previousPoint{}, strokeStart{}, strokeEnd{}, vanishingPoint{};
  int lastStrokeLength = 0;

  // Colour window.
  int pickerFocused = 0;
  std::array<int, 3> sliderTarget{};
  std::uint32_t boxColour = 0;

  // Region capture.
  ui::PictureBytes screenSnapshot;
  int selectionDragging = 0;
  Point selectionStart{};

  // Help window.
  int guideOpen = 0, thanksOpen = 0;
};

}  // namespace quillet::app
