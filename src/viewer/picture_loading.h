#pragma once

#include <string>

#include "platform/image/picture.h"

namespace quillet::app {
class Program;
}

namespace quillet::viewer {

using app::Program;

inline constexpr const char* kOpenDialogTitle = "打开图片";
inline constexpr const char* kOpenDialogFilter =
    "图形交换格式(*.jpg)|*.jpg|位图(*.bmp)|*.bmp|所有文件(*.*)|*.*";

// Pixel size of a picture file from its header; 0 x 0 when it cannot be read.
image::Size pictureFileSize(const std::string& path);

// Sets loadedWidth, loadedHeight and aspectRatio from the file. A picture
// whose size cannot be read keeps the ratio the window already has, so no
// later step divides by zero or collapses the window.
void readLoadedSize(Program& p, const std::string& path);

// The common loading steps: size, picture box and window at the picture's own
// pixel size, bytes into the picture box and loadedPicture.
void loadFileIntoView(Program& p, const std::string& path);

// Reads the whole file into the picture box and loadedPicture.
void putFileIntoPictureBox(Program& p, const std::string& path);

void openPicture(Program& p);
void showPictureFile(Program& p, const std::string& path);
void buildFolderList(Program& p, const std::string& folder);

// folderList rebuilt for the folder of currentPicturePath, folderIndex at
// the first equal entry (unchanged when there is none).
void rebuildFolderList(Program& p);

// True when the last three bytes are "jpg" or "bmp" (case-sensitive).
bool isListablePictureName(const std::string& name);

}  // namespace quillet::viewer
