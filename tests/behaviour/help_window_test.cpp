#include <gtest/gtest.h>

#include "app/guide.h"
#include "help/help_window.h"
#include "support/program_fixture.h"

namespace quillet::testing {
namespace {

class HelpWindowTest : public ProgramTest {
 protected:
  void SetUp() override {
    writePicture("pic/1.jpg", 400, 300);
    start();
    backend.chooseMenu({"帮助信息"});
    main().get<ui::PictureBox>("图片框1").onRightDown(1, 1, 0);
    ASSERT_NE(help(), nullptr);
  }
  ui::Window* help() { return program->secondary(help::kHelpWindowKey); }
  ui::Button& button(const char* name) { return help()->get<ui::Button>(name); }
  bool shown(const char* name) { return help()->get<ui::EditBox>(name).visible(); }
  static std::string caption(const char* sign, const char* word) {
    return std::string(sign) + std::string(19, ' ') + word;
  }
};

TEST_F(HelpWindowTest, OpensFramelessAtDesignPlaceWithBothPanelsClosed) {
  EXPECT_EQ(help()->left(), 50);
  EXPECT_EQ(help()->top(), 50);
  EXPECT_EQ(help()->width(), 326);
  EXPECT_EQ(help()->height(), 176);
  EXPECT_EQ(help()->border(), ui::Window::Border::None);
  EXPECT_TRUE(help()->visible());
  EXPECT_EQ(help()->get<ui::Label>("标签2").text(), "Quillet v2.14");
  EXPECT_EQ(button("操作说明按钮").caption(), caption("＋", "操作说明"));
  EXPECT_EQ(button("特别鸣谢按钮").caption(), caption("＋", "特别鸣谢"));
  EXPECT_EQ(button("按钮2").caption(), "×");
  const auto& emblem = help()->get<ui::PictureBox>("图片框1");
  EXPECT_EQ(emblem.width(), 40);
  EXPECT_TRUE(emblem.picture() && emblem.problem().empty());
  EXPECT_EQ(emblem.parent(), help()->find("分组框1"));
  EXPECT_FALSE(shown("操作说明编辑框"));
  EXPECT_FALSE(shown("特别鸣谢编辑框"));
  EXPECT_TRUE(main().visible()) << "not modal: the picture stays usable";
}

TEST_F(HelpWindowTest, PanelsSwitchDirectly_AndCloseTo174) {
  button("操作说明按钮").click();
  EXPECT_EQ(help()->height(), 431);
  EXPECT_TRUE(shown("操作说明编辑框"));
  EXPECT_EQ(button("特别鸣谢按钮").top(), 400);
  EXPECT_EQ(button("操作说明按钮").caption(), caption("-", "Operation Guide"));
  EXPECT_EQ(button("特别鸣谢按钮").caption(), caption("＋", "Special Thanks"));

  button("特别鸣谢按钮").click();
  EXPECT_TRUE(shown("特别鸣谢编辑框"));
  EXPECT_FALSE(shown("操作说明编辑框"));
  EXPECT_EQ(button("特别鸣谢按钮").top(), 146);
  EXPECT_EQ(g().guideOpen, 0);
  EXPECT_EQ(g().thanksOpen, 1);

  button("操作说明按钮").click();
  EXPECT_TRUE(shown("操作说明编辑框"));
  EXPECT_FALSE(shown("特别鸣谢编辑框"));
  EXPECT_EQ(g().thanksOpen, 0);

  button("操作说明按钮").click();
  EXPECT_EQ(help()->height(), 174);
  EXPECT_EQ(button("特别鸣谢按钮").top(), 146);
  EXPECT_EQ(button("操作说明按钮").caption(), caption("＋", "Operation Guide"));
  EXPECT_EQ(help()->top(), 50) << "only the height changes";

  button("特别鸣谢按钮").click();
  EXPECT_EQ(button("特别鸣谢按钮").caption(), caption("-", "Special Thanks"));
  button("特别鸣谢按钮").click();
  EXPECT_EQ(help()->height(), 174);
  EXPECT_FALSE(shown("特别鸣谢编辑框"));
  EXPECT_EQ(button("特别鸣谢按钮").top(), 146);
  EXPECT_EQ(button("特别鸣谢按钮").caption(), caption("＋", "Special Thanks"));
  EXPECT_EQ(g().thanksOpen, 0);
}

TEST_F(HelpWindowTest, CloseDiscardsState_SecondOpenStartsClosed_OnlyOneWindow) {
  button("特别鸣谢按钮").click();
  button("按钮2").click();
  EXPECT_EQ(help(), nullptr);
  help::showHelpWindow(*program, app::guideText());
  help::showHelpWindow(*program, app::guideText());
  ASSERT_NE(help(), nullptr);
  EXPECT_EQ(help()->height(), 176);
  EXPECT_EQ(g().thanksOpen, 0);
  EXPECT_EQ(button("特别鸣谢按钮").caption(), caption("＋", "特别鸣谢"));
}

TEST_F(HelpWindowTest, GuideTextHasSectionsSeparatorsAndNineteenEntries) {
  const std::string& text = app::guideText();
  EXPECT_NE(text.find(std::string(48, '=') + "\r\n"), std::string::npos);
  EXPECT_NE(text.find(std::string(48, '-')), std::string::npos);
  EXPECT_EQ(text.find(std::string(49, '=')), std::string::npos);
  EXPECT_NE(text.find("功能介绍："), std::string::npos);
  EXPECT_NE(text.find("操作指南："), std::string::npos);
  const char* headings[] = {"图片大小", "局部缩放", "显示菜单",       "移动",         "透明度调节",
                            "翻转",     "旋转",     "去色",           "显示图片信息", "鼠标穿透",
                            "图片避让", "隐藏图片", "窗口前置或后置", "切换图片",     "屏幕截图",
                            "简易涂鸦", "图片比例", "帮助",           "退出"};
  std::size_t from = text.find("操作指南：");
  for (int i = 0; i < 19; ++i) {
    std::string entry = "\r\n" + std::to_string(i + 1) + "、" + headings[i] + "：";
    std::size_t at = text.find(entry, from);
    EXPECT_NE(at, std::string::npos) << entry;
    if (at != std::string::npos) from = at;
  }
  const std::string& thanks = help::thanksText();
  EXPECT_LT(thanks.find("一、重大贡献（建议）："), thanks.find("二、关注有功："));
}

}  // namespace
}  // namespace quillet::testing
