#include <gtest/gtest.h>

#include <functional>

#include "app/actions.h"
#include "app/guide.h"
#include "core/main_controls.h"
#include "platform/image/picture.h"
#include "platform/ui/input.h"
#include "support/program_fixture.h"

namespace quillet::testing {
namespace {

// Codes as the keyboard delivers them (Windows virtual keys).
constexpr int kF = 0x46, kR = 0x52, kF1 = 0x70, kCtrl = 0x11, kShift = 0x10;
constexpr int kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28;
constexpr int kHome = 0x24, kEnd = 0x23, kDelete = 0x2E, kInsert = 0x2D;
constexpr int kMinus = 0xBD, kEquals = 0xBB, kPadPlus = 0x6B, kPadTimes = 0x6A;
constexpr int kPeriod = 0xBE, kComma = 0xBC;

// The overlay's words, line by line, exactly as the user reads them.
const char* const kOverlayLines[] = {
    " 1、打开图片：右键菜单->打开图片；Ctrl+R。",
    " 2、截取图片：右键菜单->载取图片；D。之后窗口会消失，请用鼠标框选区域。",
    " 3、调节图片大小：",
    "    （1）滚轮；（2）CTRL+鼠标左右移动；（3）按主键盘区的减号和等号键。",
    "    恢复原大小：R。",
    " 4、局部缩放：ALT＋鼠标滚轮；把鼠标放在画面上不同的位置，然后叩击ALT键；逗号、句号键。放大后的"
    "局部移动：方向键。快速放大2倍：双击画面。",
    " 5、显示菜单：鼠标右键。",
    " 6、移动窗口：拖曳图片；左右上下方向光标键。",
    " 7、透明度调节：Shift + 鼠标左右移动。主键盘区数字键0-9。不透明：空格键。",
    " 8、翻转：水平 HOME键，垂直 END键，水平加垂直 "
    "DEL键。置光标于画面上，然后显示。时间较长。翻转结束后，双击切换现图原图。",
    " 9、旋转：90°和自定义。任意角度快捷键为 ALT+鼠标移动。",
    " 9、去色：Ins键，操作同上。",
    "10、画笔工具：右键菜单->涂鸦工具。或按“P”键。",
    "    在画笔状态下，按 SHIFT+移动鼠标，或逗号句号键 调节画笔大小；按 CTRL+移动鼠标 "
    "调节画笔颜色；按 ALT+移动鼠标 窗口取色。B 键 白板。空格 填充。",
    "11、显示图片大小、透明度信息：按住 F 键不放。",
    "12、鼠标穿透：",
    "    启动：按C键或红点菜单命令。取消：红点右键菜单或按C键。",
    "13、图片避让：",
    "    （1）启动：右键菜单；",
    "    （2）取消：右键菜单；",
    "    （3）R键",
    "14、隐藏显示窗口：",
    "    隐藏：Alt+双击图片；Ctrl+H。",
    "    显示：双击红点。",
    "15、前置或后置：按 B键 切换。",
    "16、切换图片。在图片完全显示时，按方向键切换同目录下图片，图片大时请慎用。     "
    "自动浏览：S键。",
    "17、退出：图片菜单或红点菜单中相关选项。只关闭图片：ESC键。",
    "18、帮助信息：F1在图片上即时查看快捷键，F2弹出信息窗口。",
};

std::string overlayText() {
  std::string text;
  for (const char* line : kOverlayLines) {
    if (!text.empty()) text += "\r\n";
    text += line;
  }
  return text;
}

class KeysTest : public ProgramTest {
 protected:
  void SetUp() override {
    writePicture("pic/1.jpg", 400, 300);
    start();
    main().move(200, 200);
  }
  void press(int key, int modifiers = 0) { main().onKeyDown(key, modifiers); }
  void release(int key, int modifiers = 0) { main().onKeyUp(key, modifiers); }
};

TEST_F(KeysTest, Digits_SetTheWindowsAlphaAlone_AndRestoringUndoesThem) {
  struct Case {
    int key, modifiers, alpha;
  };
  for (const Case c : {Case{0x31, 0, 25}, Case{0x33, ui::kShift, 75}, Case{0x35, ui::kCtrl, 125},
                       Case{0x39, 0, 225}, Case{0x30, 0, 255}, Case{0x34, 0, 100}}) {
    press(c.key, c.modifiers);
    EXPECT_EQ(main().alpha(), c.alpha) << std::hex << c.key;
  }
  EXPECT_EQ(g().alphaLevel, 255) << "the stored level is not a digit's";
  press(kF);
  EXPECT_NE(core::infoLabel(*program).text().find("透明：100"), std::string::npos);
  press(kR);
  EXPECT_EQ(main().alpha(), 255) << "restoring applies the stored level again";
}

TEST_F(KeysTest, Arrows_WindowByOne_BoxByTenOrFive_ThenPulledBackAgainstTheEdges) {
  press(kDown);
  press(kRight);
  EXPECT_EQ(windowRect(), (Rect{201, 201, 400, 300})) << "the box covers the window";
  press(kUp, ui::kCtrl | ui::kShift);
  press(kLeft, ui::kShift);
  EXPECT_EQ(windowRect(), (Rect{200, 200, 400, 300})) << "any set but Alt alone";
  EXPECT_EQ(boxRect(), (Rect{0, 0, 400, 300}));

  box().setHeight(280);  // a strip of the window shows below the picture
  press(kDown);
  EXPECT_EQ(boxRect(), (Rect{0, 20, 400, 280})) << "moved by 10, then aligned to the bottom";
  EXPECT_EQ(windowRect(), (Rect{200, 200, 400, 300}));

  box().setGeometry(0, 0, 400, 300);
  box().onDoubleClick(200, 150, 0);
  ASSERT_EQ(boxRect(), (Rect{-200, -150, 800, 600}));
  press(kRight);
  press(kDown);
  EXPECT_EQ(boxRect(), (Rect{-195, -145, 800, 600})) << "zoomed in: the box by 5";
  for (int i = 0; i < 50; ++i) press(kRight);
  EXPECT_EQ(box().left(), 0) << "never leaving a gap at the left";

  box().setGeometry(0, 0, 380, 300);
  press(kUp);
  EXPECT_EQ(windowRect(), (Rect{200, 200, 400, 300})) << "narrower box: nothing moves";
  EXPECT_EQ(boxRect(), (Rect{20, 0, 380, 300})) << "but it ends at the right edge";
}

TEST_F(KeysTest, PeriodAndComma_GrowAndShrinkByAPixelEachSide_CommaFallsBackToMinus) {
  for (int i = 0; i < 3; ++i) press(kPeriod);
  EXPECT_EQ(boxRect(), (Rect{-3, -3, 406, 304}));
  EXPECT_EQ(g().localZoom, 1);
  press(kComma);
  EXPECT_EQ(boxRect(), (Rect{-2, -2, 404, 303}));
  press(kComma);
  press(kComma);
  EXPECT_EQ(boxRect(), (Rect{0, 0, 400, 300}));
  EXPECT_EQ(g().localZoom, 0);
  EXPECT_EQ(windowRect(), (Rect{200, 200, 400, 300}));

  press(kComma);
  EXPECT_EQ(windowRect(), (Rect{200, 200, 395, 296})) << "as the minus key does";
  main().setWidth(22);
  press(kComma);
  press(kComma);
  EXPECT_EQ(main().width(), 20) << "never below 20";
}

TEST_F(KeysTest, MinusPlusAndFit_SizeTheWindowWithinTheScreen) {
  press(kMinus);
  EXPECT_EQ(main().width(), 395);
  press(kEquals);
  press(kPadPlus);
  EXPECT_EQ(main().width(), 405);
  EXPECT_EQ(main().height(), 303) << "the height follows the picture";
  main().setWidth(backend.screen.width - 2);
  press(kEquals);
  EXPECT_EQ(main().width(), backend.screen.width);

  press(kPadTimes);
  EXPECT_EQ(windowRect(), (Rect{20, 20, 1182, 886})) << "1240 wide would be too tall";
  // Taller than the screen allows: the height gives the width back.
  g().aspectRatio = 2.0f;
  press(kPadTimes);
  EXPECT_EQ(windowRect(), (Rect{20, 20, 412, 824}));
}

TEST_F(KeysTest, WholePictureKeys_DoNothingWhileZoomedIn) {
  const ui::PictureBytes shown = box().picture();
  press(kPeriod);
  for (int key : {kHome, kEnd, kDelete, kInsert}) press(key);
  EXPECT_EQ(box().picture(), shown);
  EXPECT_TRUE(backend.inputs.empty());

  press(kComma);
  ASSERT_EQ(box().width(), main().width());
  press(kHome);
  EXPECT_NE(box().picture(), shown) << "mirrored once the picture is whole again";
  press(kInsert);
  EXPECT_EQ(backend.inputs.size(), 1u) << "the gray levels are asked for";
}

TEST_F(KeysTest, CtrlR_RestoresThePictureAndThenOpensTheDialog) {
  press(kHome);
  ASSERT_NE(box().picture(), g().loadedPicture);
  backend.cancelOpenDialog();
  press(kR, ui::kCtrl);
  EXPECT_EQ(box().picture(), g().loadedPicture);
  ASSERT_EQ(backend.dialogs.size(), 1u);
  EXPECT_EQ(backend.dialogs[0].title, "打开图片");
  press(kR, ui::kCtrl | ui::kShift);
  EXPECT_EQ(backend.dialogs.size(), 1u) << "Ctrl+Shift is not Ctrl";
}

TEST_F(KeysTest, InfoWhileFHeld_OverlayWhileF1Held) {
  ui::Label& info = core::infoLabel(*program);
  ui::Label& overlay = core::shortcutLabel(*program);
  press(kF);
  EXPECT_TRUE(info.visible());
  EXPECT_EQ(info.text(), "原图：400×300\r\n现图：400×300\r\n透明：100");
  EXPECT_EQ(info.height(), 40);
  for (int up : {kF, kCtrl, kShift}) {
    press(kF);
    release(up);
    EXPECT_FALSE(info.visible()) << std::hex << up;
  }

  main().setWidth(300);
  press(kF1);
  EXPECT_TRUE(overlay.visible());
  EXPECT_EQ((Rect{overlay.left(), overlay.top(), overlay.width(), overlay.height()}),
            (Rect{0, 0, 300, 225}));
  EXPECT_EQ(overlay.text(), overlayText());
  release(kF);
  EXPECT_TRUE(overlay.visible());
  release(kF1);
  EXPECT_FALSE(overlay.visible());
}

TEST_F(KeysTest, C_MakesTheWindowClickThrough_WithoutTheMenusFlag) {
  press(0x43);
  const int bits = ui::Window::kLayeredBit | ui::Window::kTransparentBit;
  EXPECT_EQ(main().exStyle() & bits, bits);
  EXPECT_EQ(g().layeredExStyle & bits, bits);
  EXPECT_EQ(g().clickThrough, 0);
  EXPECT_TRUE(host().visible());
  EXPECT_TRUE(host().hasFocus());
}

TEST_F(KeysTest, OperationKeys_ReachTheirOperations) {
  struct Case {
    int key, modifiers;
    std::function<bool()> done;
  };
  const std::vector<Case> cases = {
      {0x4B, 0, [&] { return !box().border(); }},
      {0x4D, 0, [&] { return main().freeMove(); }},
      {0x20, 0, [&] { return g().layeredOn == 0; }},
      {0x56, 0,
       [&] { return g().ratioLocked == 0 && main().border() == ui::Window::Border::None; }},
      {0x45, 0, [&] { return g().avoidanceOn == 1; }},
      {0x42, 0, [&] { return !main().topmost(); }},
      {0x71, 0, [&] { return program->secondary("help") != nullptr; }},
      {0x48, ui::kCtrl, [&] { return !main().visible() && host().visible(); }},
  };
  for (const Case& c : cases) {
    ASSERT_FALSE(c.done()) << std::hex << c.key;
    press(c.key, c.modifiers);
    EXPECT_TRUE(c.done()) << std::hex << c.key;
  }
  press(0x58);
  EXPECT_TRUE(backend.quitRequested()) << "X ends the program";
}

TEST_F(KeysTest, Esc_ClosesOnlyThePicture_AndOnlyWithoutModifiers) {
  for (int modifiers : {ui::kShift, ui::kCtrl, ui::kAlt}) {
    press(ui::key::kEscape, modifiers);
    ASSERT_NE(program->main(), nullptr) << modifiers;
    EXPECT_TRUE(main().visible()) << modifiers;
  }
  press(ui::key::kEscape);
  EXPECT_EQ(program->main(), nullptr);
  EXPECT_TRUE(host().visible());
  EXPECT_FALSE(backend.quitRequested());
}

// The guide names menu entries by the path a user follows in the real menu.
TEST_F(KeysTest, GuideNamesEveryMenuEntryByItsPathInTheMenu) {
  box().onRightDown(1, 1, 0);
  std::vector<std::string> paths;
  std::function<void(const std::vector<ui::MenuItem>&, const std::string&)> walk =
      [&](const std::vector<ui::MenuItem>& items, const std::string& above) {
        for (const ui::MenuItem& item : items) {
          if (item.separator) continue;
          const std::string path = (above.empty() ? "" : above + "→") + "“" + item.caption + "”";
          paths.push_back(path);
          walk(item.children, path);
        }
      };
  walk(backend.lastMenu.items, "");
  const std::string& guide = app::guideText();
  for (const auto& topic : app::guideTopics()) {
    for (app::ActionId id : topic.actions) {
      const app::Action& a = app::action(id);
      if (!a.caption) continue;
      const std::string own = std::string("“") + a.caption + "”";
      auto path = std::find_if(paths.begin(), paths.end(), [&own](const std::string& p) {
        return p.size() >= own.size() && p.compare(p.size() - own.size(), own.size(), own) == 0;
      });
      ASSERT_NE(path, paths.end()) << a.caption;
      EXPECT_NE(guide.find("菜单" + *path), std::string::npos) << *path;
    }
  }
}

TEST_F(KeysTest, GraySubmenuItself_AsksForTheLevelsAsInsertDoes) {
  const ui::PictureBytes shown = box().picture();
  backend.answerInput("2");
  backend.chooseMenu({"灰度去色"});
  box().onRightDown(1, 1, 0);
  ASSERT_EQ(backend.inputs.size(), 1u);
  EXPECT_EQ(backend.inputs[0].text, "Please input gray value 1-256");
  ASSERT_NE(box().picture(), shown);
  auto reduced = image::decode(*box().picture());
  ASSERT_TRUE(reduced.ok());
  EXPECT_EQ(reduced.value.width, 400);
}

// The guide is written from the table, so it names every key that works.
TEST(ActionTable, EveryKeyAndEveryMenuEntryIsInTheGuide) {
  std::vector<app::ActionId> documented;
  for (const auto& topic : app::guideTopics()) {
    documented.insert(documented.end(), topic.actions.begin(), topic.actions.end());
  }
  const std::string& guide = app::guideText();
  for (const app::Action& a : app::actions()) {
    const bool reachable = !a.keys.empty() || !a.releaseKeys.empty();
    if (!reachable) continue;
    EXPECT_NE(std::find(documented.begin(), documented.end(), a.id), documented.end())
        << (a.caption   ? a.caption
            : a.summary ? a.summary
                        : "?");
    EXPECT_NE(guide.find(app::keyNames(a)), std::string::npos) << app::keyNames(a);
  }
}

}  // namespace
}  // namespace quillet::testing
