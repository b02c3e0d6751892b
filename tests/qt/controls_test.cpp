#include <QtTest/QTest>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>

#include <vector>

#include "platform/qt/menu_pictures.h"
#include "qt_fixture.h"

namespace quillet::qttest {
namespace {

using Controls = QtFixture;

TEST_F(Controls, ButtonsInGroupBoxesSitInsideThemAndReportClicks) {
  ui::Window& window = makeWindow(60, 60, 326, 176);
  auto& group = window.add<ui::GroupBox>("分组框1");
  group.setGeometry(7, -1, 312, 121);
  auto& close = window.add<ui::Button>("按钮2", &group);
  close.setGeometry(289, 8, 20, 20);
  close.setCaption("×");
  int clicks = 0;
  close.onClick = [&] { ++clicks; };
  settle();

  auto* button = qobject_cast<QPushButton*>(widget(window).controlWidget(close));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->parentWidget(), widget(window).controlWidget(group));
  EXPECT_EQ(button->geometry(), QRect(289, 8, 20, 20));
  EXPECT_EQ(button->text(), QString::fromUtf8("×"));
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(clicks, 1);

  close.setCaption("-");
  EXPECT_EQ(button->text(), QStringLiteral("-"));
}

TEST_F(Controls, EveryKindIsShownWhereAndWhenTheModelSays) {
  ui::Window& window = makeWindow(60, 60, 300, 200);
  auto& label = window.add<ui::Label>("标签1");
  label.setText("第一行\r\n第二行");  // as read from a file written on Windows
  const std::vector<ui::Control*> controls{
      &window.add<ui::PictureBox>("图片框1"), &window.add<ui::EditBox>("编辑框1"), &label,
      &window.add<ui::Button>("按钮1"), &window.add<ui::GroupBox>("分组框1")};
  for (ui::Control* control : controls) {
    QWidget* shown = widget(window).controlWidget(*control);
    ASSERT_NE(shown, nullptr) << control->name();
    control->setGeometry(5, 6, 70, 30);
    control->setVisible(false);
    EXPECT_EQ(shown->geometry(), QRect(5, 6, 70, 30)) << control->name();
    EXPECT_FALSE(shown->isVisible()) << control->name();
    control->setVisible(true);
    EXPECT_TRUE(shown->isVisible()) << control->name();
  }
  auto* text = qobject_cast<QLabel*>(widget(window).controlWidget(label));
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->text(), QString::fromUtf8("第一行\n第二行"));
}

// Overlays over a dark picture: with a backdrop the text sits on light ground.
TEST_F(Controls, LabelBackdropLightensWhatLiesUnderIt) {
  ui::Window& window = makeWindow(60, 60, 200, 100);
  auto& picture = window.add<ui::PictureBox>("图片框1");
  picture.setGeometry(0, 0, 200, 100);
  picture.setBackground(0x000000);
  auto& label = window.add<ui::Label>("标签");
  label.setGeometry(0, 0, 200, 40);
  label.setText("x");
  auto ground = [&] { return widget(window).grab().toImage().pixelColor(190, 30).lightness(); };
  EXPECT_LT(ground(), 40) << "a plain label lets the picture show";
  label.setBackdrop(true);
  EXPECT_GT(ground(), 150);
  EXPECT_LT(ground(), 250) << "and the backdrop is see-through";
}

TEST(MenuPictures, EveryIconNumberOfTheMenusIsDrawnAndTheBannerLoads) {
  for (int number :
       {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 26}) {
    EXPECT_FALSE(qtui::menuIcon(number).isNull()) << number;
  }
  EXPECT_TRUE(qtui::menuIcon(99).isNull());
  // Mode pairs must look different.
  EXPECT_NE(qtui::menuIcon(12).pixmap(16).toImage(), qtui::menuIcon(20).pixmap(16).toImage());
  EXPECT_NE(qtui::menuIcon(7).pixmap(16).toImage(), qtui::menuIcon(26).pixmap(16).toImage());
  EXPECT_EQ(qtui::menuBanner().size(), QSize(26, 454));
}

}  // namespace
}  // namespace quillet::qttest
