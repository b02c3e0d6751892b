#pragma once

// Names the program gives its files and controls; shared by every subsystem.
namespace quillet::core {

inline constexpr const char* kLastFileRecord = "上次文件.txt";
inline constexpr const char* kNoteFile = "便签文本.txt";
inline constexpr const char* kDefaultPicture = "pic/1.jpg";
inline constexpr const char* kPictureFolder = "pic";
inline constexpr const char* kWorkBitmapFile = "fanzhuan.bmp";

inline constexpr const char* kPictureBox = "图片框1";
inline constexpr const char* kNoteBox = "文本便签超级编辑框";
inline constexpr const char* kInfoLabel = "图像信息标签";
inline constexpr const char* kShortcutLabel = "快捷键透明标签";

inline constexpr const char* kHostTitle = "Quillet";
inline constexpr const char* kHostFace = "host-dot";

}  // namespace quillet::core
