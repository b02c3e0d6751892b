#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "core/main_controls.h"
#include "platform/files.h"
#include "platform/ui/input.h"
#include "support/program_fixture.h"

namespace quillet::testing {
namespace {

class SlideshowTest : public ProgramTest {
 protected:
  void SetUp() override {
    writePicture("f/a.jpg", 400, 300);
    writePicture("f/b.jpg", 400, 200);
    writePicture("f/c.jpg", 300, 400);
    writeLastFileRecord(path("f/a.jpg"));
    start();
    main().move(300, 200);
  }
  void toggle() { main().onKeyDown(0x53, 0); }
  ui::Window* options() { return program->secondary("slideshow"); }
  ui::ComboBox& interval() { return options()->get<ui::ComboBox>("时间间隔组合框"); }
  ui::ProgressBar& bar() { return options()->get<ui::ProgressBar>("进度条1"); }
  void click(const char* button) { options()->get<ui::Button>(button).click(); }
  void startWith(const char* seconds) {
    toggle();
    interval().userEdited(seconds);
    click("开始按钮");
  }
  void ticks(int n) { backend.advance(n * 1000); }
  void barMenu(const char* caption) {
    backend.chooseMenu({caption});
    bar().onRightUp(3, 3, 0);
  }
  int menuIcon() {
    box().onRightDown(1, 1, 0);
    return backend.lastMenu.find("自动浏览")->icon;
  }
  // A tick after `squash` ends the program, saving its state, before the
  // countdown moves.
  void expectNextTickEndsTheProgram(const std::function<void()>& squash) {
    startWith("3");
    ticks(1);
    squash();
    g().currentPicturePath = path("f/c.jpg");
    ticks(1);
    EXPECT_TRUE(backend.quitRequested());
    EXPECT_EQ(readLastFileRecord(), path("f/c.jpg"));
    ASSERT_NE(options(), nullptr);
    EXPECT_EQ(interval().text(), "2") << "the countdown stays where it was";
  }
};

TEST_F(SlideshowTest, OptionsWindow_OpensAtThePicturesCorner_AndToggledTwiceEndsAsItBegan) {
  EXPECT_EQ(menuIcon(), 5);
  toggle();
  ASSERT_NE(options(), nullptr);
  EXPECT_EQ(rectOf(*options()), (Rect{300, 200, 167, 117}));
  EXPECT_EQ(options()->title(), "自动浏览选项");
  EXPECT_EQ(interval().text(), "30");
  EXPECT_EQ(interval().items(), (std::vector<std::string>{
                                    "1",   "2",   "3",   "4",   "5",   "6",   "7",    "8",   "9",
                                    "10",  "15",  "20",  "30",  "40",  "50",  "60",   "90",  "120",
                                    "150", "240", "300", "360", "420", "720", "1800", "3600"}));
  EXPECT_FALSE(options()->get<ui::Button>("停止按钮").visible());
  EXPECT_EQ(g().slideshowOn, 1);
  EXPECT_EQ(g().slideshowWindowOpen, 1);
  EXPECT_EQ(menuIcon(), 5) << "opening is not starting";
  toggle();
  EXPECT_EQ(options(), nullptr);
  EXPECT_EQ(g().slideshowOn, 0);
  EXPECT_EQ(g().slideshowWindowOpen, 0);
  EXPECT_EQ(menuIcon(), 5);
}

TEST_F(SlideshowTest, Interval30_SwitchesThirtyTicksAfterStart_TheBarFillingUpTo29) {
  const int first = g().folderIndex;
  startWith("30");
  EXPECT_EQ(menuIcon(), 19);
  ticks(29);
  EXPECT_EQ(g().folderIndex, first);
  EXPECT_EQ(interval().text(), "1");
  EXPECT_EQ(bar().position(), 29);
  EXPECT_EQ(bar().maximum(), 30);
  ticks(1);
  EXPECT_EQ(g().folderIndex, first % 3 + 1) << "the next picture, as Page Down";
  EXPECT_EQ(interval().text(), "30");
  EXPECT_EQ(bar().position(), 0);
  ticks(30);
  EXPECT_EQ(g().folderIndex, (first + 1) % 3 + 1);
}

TEST_F(SlideshowTest, Interval1_SwitchesEveryTick_EitherWay_WrappingAtTheEnds) {
  startWith("1");
  std::vector<int> seen;
  for (int i = 0; i < 4; ++i) {
    ticks(1);
    seen.push_back(g().folderIndex);
  }
  const int s = seen[0];
  EXPECT_EQ(seen, (std::vector<int>{s, s % 3 + 1, (s + 1) % 3 + 1, s}));
  options()->get<ui::RadioButton>("向前单选框").userChecked();
  EXPECT_FALSE(options()->get<ui::RadioButton>("向后单选框").checked());
  g().folderIndex = 1;
  ticks(1);
  EXPECT_EQ(g().folderIndex, 3) << "from the first back to the last";
  EXPECT_EQ(g().currentPicturePath, g().folderList[2]);
}

TEST_F(SlideshowTest, StopThenStart_TakesWhatIsLeft_StopThenRestart_TheWholeInterval) {
  startWith("30");
  ticks(12);
  barMenu("停止浏览");
  ticks(5);
  EXPECT_EQ(interval().text(), "18") << "stopped where it was";
  EXPECT_EQ(menuIcon(), 19);
  click("开始按钮");
  EXPECT_EQ(g().slideshowInterval, 18);

  ticks(3);
  barMenu("停止浏览");
  barMenu("开始浏览");
  EXPECT_EQ(interval().text(), "18");
  EXPECT_EQ(g().slideshowInterval, 18);
}

TEST_F(SlideshowTest, RestartBeforeAnyStart_SwitchesAtTheFirstTick_ThenEverySecond) {
  const int first = g().folderIndex;
  toggle();
  barMenu("开始浏览");
  EXPECT_EQ(interval().text(), "0");
  ticks(1);
  EXPECT_NE(g().folderIndex, first);
  const int second = g().folderIndex;
  ticks(1);
  EXPECT_NE(g().folderIndex, second) << "a countdown of nothing never sticks";
}

TEST_F(SlideshowTest, IntervalTexts_AreReadUpToTheirFirstNonDigit) {
  struct Case {
    const char* typed;
    int interval;
  };
  for (const Case c : {Case{"12s", 12}, Case{" 7", 7}, Case{"abc", 1}, Case{"-5", 1},
                       Case{"99999999999999", 2147483647}}) {
    if (!options()) toggle();
    interval().userEdited(c.typed);
    click("开始按钮");
    EXPECT_EQ(g().slideshowInterval, c.interval) << c.typed;
    toggle();
  }
  toggle();
  interval().userChose(3);
  EXPECT_EQ(interval().text(), "4");
  EXPECT_EQ(g().slideshowInterval, 4);
}

TEST_F(SlideshowTest, OnePicture_TheCountdownCycles_ThePictureStays) {
  std::filesystem::remove(path("f/b.jpg"));
  std::filesystem::remove(path("f/c.jpg"));
  g().folderList = {path("f/a.jpg")};
  g().folderIndex = 1;
  startWith("2");
  const ui::PictureBytes shown = box().picture();
  ticks(7);
  EXPECT_EQ(box().picture(), shown);
  EXPECT_EQ(interval().text(), "1");
}

TEST_F(SlideshowTest, Strip_LiesOnThePicturesTopEdge_AndFollowsIt) {
  toggle();
  main().move(320, 240);
  EXPECT_EQ(rectOf(*options()), (Rect{320, 240, 167, 117})) << "idle: to the corner";
  interval().userEdited("5");
  click("开始按钮");
  EXPECT_EQ(rectOf(*options()), (Rect{320, 235, 400, 8}));
  ticks(1);
  main().move(100, 120);
  EXPECT_EQ(rectOf(*options()), (Rect{100, 115, 400, 8}));
  main().onWheel(-120, 0);
  EXPECT_EQ(rectOf(*options()), (Rect{100, 115, 480, 8})) << "as wide, not moved";
  EXPECT_EQ(bar().width(), 480);

  barMenu("还原窗口");
  EXPECT_EQ(rectOf(*options()), (Rect{580, 120, 148, 126}));
  ticks(4);
  EXPECT_EQ(options()->height(), 8) << "back to the strip at the switch";
  EXPECT_EQ(options()->top(), main().top() - 5);
}

TEST_F(SlideshowTest, PictureGoneFromTheFolder_OneDialog_NotOneEverySecond) {
  startWith("1");
  for (const std::string& entry : g().folderList) {
    if (entry != g().currentPicturePath) std::filesystem::remove(entry);
  }
  backend.whileDialogOpen = [this] {
    backend.whileDialogOpen = nullptr;
    ticks(5);
  };
  ticks(1);
  EXPECT_EQ(backend.dialogs.size(), 1u);
  ticks(1);
  EXPECT_EQ(backend.dialogs.size(), 2u) << "the next tick may ask again";
}

TEST_F(SlideshowTest, Tick_AfterThePictureWasClosed_EndsTheProgramSavingItsState) {
  expectNextTickEndsTheProgram([this] { main().onKeyDown(ui::key::kEscape, 0); });
}

TEST_F(SlideshowTest, Tick_OnAPictureTooFlatToUse_EndsTheProgramSavingItsState) {
  expectNextTickEndsTheProgram([this] {
    g().ratioLocked = 0;
    main().setHeight(12);
  });
}

}  // namespace
}  // namespace quillet::testing
