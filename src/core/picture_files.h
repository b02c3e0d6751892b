#pragma once

#include <string>

#include "platform/image/picture.h"

namespace quillet::core {

class Program;

inline constexpr const char* kOpenDialogTitle = "打开图片";
inline constexpr const char* kOpenDialogFilter =
    "图形交换格式(*.jpg)|*.jpg|位图(*.bmp)|*.bmp|所有文件(*.*)|*.*";

// Pixel size of a picture file from its header; 0 x 0 when it cannot be read.
image::Size pictureFileSize(const std::string& path);

// Sets loadedWidth, loadedHeight and aspectRatio from the file. A picture
// whose size cannot be read keeps the ratio the window already has, so no
// later step divides by zero or collapses the window.
void readLoadedSize(Program& p, const std::string& path);

// Reads the whole file into the picture box and loadedPicture. Whatever the
// mirrors had turned is dropped with the old picture.
void putFileIntoPictureBox(Program& p, const std::string& path);

// The file dialog, then the picture at its own pixel size and its folder listed.
void openPicture(Program& p);
// What the dialog's choice leads to, for a picture chosen another way.
void openPictureFile(Program& p, const std::string& path);
// A JPEG or BMP file whose pixel size can be read.
bool isPictureFile(const std::string& path);
// Shows a picture file at the width the user last gave the window (a fresh
// capture at its own size, where it was taken), keeping the window on screen.
void showPictureFile(Program& p, const std::string& path);
// Appends the folder's listable pictures to folderList; `folder` ends with a separator.
void buildFolderList(Program& p, const std::string& folder);

// folderList rebuilt for the folder of currentPicturePath, folderIndex at
// the first equal entry (kept when there is none, but never past the end).
void rebuildFolderList(Program& p);

// True when the last three bytes are "jpg" or "bmp" (case-sensitive).
bool isListablePictureName(const std::string& name);

}  // namespace quillet::core
