#include <string>

#include "help/help_window.h"

namespace quillet::help {

namespace {

std::string joinLines(std::initializer_list<const char*> lines) {
  std::string out;
  for (const char* line : lines) {
    if (!out.empty()) out += "\r\n";
    out += line;
  }
  return out;
}

}  // namespace

const std::string& guideText() {
  static const std::string text = [] {
    const std::string equals(48, '=');
    const std::string dashes(48, '-');
    std::string t;
    t += equals + "\r\n";
    t += joinLines({
        "功能介绍：",
        "1、在屏幕上悬浮显示参考图片，供临摹绘画、书法或图片时对照。",
        "2、定时显示和浏览同目录的图片，逼迫自己快速落笔（速写练习）。",
        "3、截取屏幕上的任意区域作为参考图，并可在图上简单涂鸦。",
    });
    t += "\r\n" + equals + "\r\n";
    t += joinLines({
        "操作指南：",
        "1、图片大小：滚轮放大缩小窗口；Ctrl+滚轮微调 1 像素；Ctrl+鼠标左右移动；"
        "主键盘的减号、等号键；小键盘乘号键适合屏幕。",
        "2、局部缩放：Alt+滚轮；把鼠标放在画面上不同位置后叩击 Alt 键；逗号、句号键；"
        "双击画面放大 2 倍。放大后用方向键移动局部。",
        "3、显示菜单：在图片上单击鼠标右键。",
        "4、移动：拖曳图片；方向键（图片完全显示时移动窗口 1 像素）。",
        "5、透明度调节：Shift+鼠标左右移动；主键盘数字键 1-9、0（0 为不透明）；"
        "空格键或菜单“取消透明”切换透明与不透明。",
        "6、翻转：菜单“镜像翻转”（水平、纵向、对角）；Home 水平，End 纵向，Delete 对角。",
        "7、旋转：菜单“角度旋转”→“直角”转 90°，“自定”输入度数；Alt+左右方向键每次 1°。",
        "8、去色：菜单“灰度去色”选择灰阶数，“还原”恢复彩色；Insert 键。",
        "9、显示图片信息：按住 F 键不放；F1 显示快捷键。",
        "10、鼠标穿透：菜单“鼠标穿透”或 C 键；取消：红点窗口右键菜单“Don't Penetrate”或在红点上按 "
        "C 键。",
        "11、图片避让：菜单“图片避让”或 E 键开关；按住 Ctrl、Shift 或 Alt 可让图片停下。",
        "12、隐藏图片：菜单“隐藏图片”、Alt+双击图片或 "
        "Ctrl+H；双击红点或红点菜单“Display”重新显示。",
        "13、窗口前置或后置：菜单“前置后置”或 B 键。",
        "14、切换图片：Page Up 上一幅，Page Down 下一幅，或菜单“上一幅图”“下一幅图”；"
        "自动浏览：菜单“自动浏览”或 S 键。",
        "15、屏幕截图：菜单“截取图片”或 D 键，然后用鼠标框选区域。",
        "16、简易涂鸦：菜单“涂鸦工具”或 P 键。",
        "17、图片比例：菜单“改变比例”后可拖动边框改变比例，再选一次确定新比例；V "
        "键切换是否保持比例。",
        "18、帮助：F1 在图片上即时查看快捷键，F2 或菜单“帮助信息”打开本窗口。",
        "19、退出：菜单“关闭程序”、X 键或红点菜单“Exit Quillet”；只关闭图片：Esc 键。",
    });
    t += "\r\n" + dashes + "\r\n";
    t += joinLines({
        "提示：不少窗口管理器把 Alt+拖动、Alt+滚轮留作自用，",
        "此时 Alt 相关的操作可能无效，可改用逗号、句号键缩放。",
    });
    t += "\r\n" + equals;
    return t;
  }();
  return text;
}

const std::string& thanksText() {
  static const std::string text = joinLines({
      "一、重大贡献（建议）：",
      "1、临摹班的老师们：建议图片可以鼠标穿透（已实现）。",
      "2、书法爱好者们：建议灰度去色、减少灰阶（已实现）。",
      "3、速写练习者们：建议定时自动浏览（已实现）。",
      "4、插画作者们：建议截屏后直接作为参考图（已实现）；建议压感笔迹（部分实现）。",
      "",
      "二、关注有功：",
      "感谢所有试用、反馈问题和提出意见的朋友们！",
  });
  return text;
}

}  // namespace quillet::help
