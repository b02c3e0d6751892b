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
