#include <gtest/gtest.h>

#include "app/guide.h"
#include "app/host_window.h"
#include "core/main_controls.h"
#include "core/names.h"
#include "help/help_window.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/ui/input.h"
#include "support/program_fixture.h"

namespace quillet::testing {
namespace {

class LifecycleTest : public ProgramTest {
 protected:
  void SetUp() override {
    picture = writePicture("pics/a.jpg", 400, 300);
    writePicture("pics/b.jpg", 200, 100);
    writeLastFileRecord(picture);
    start();
  }
  std::string picture;
};

TEST_F(LifecycleTest, Esc_ClosesOnlyPictureWindow_SavingStateAndShowingHost) {
  main().move(120, 130);
  folder.write(core::kLastFileRecord, std::string("stale"));
  main().onKeyDown(ui::key::kEscape, 0);

  EXPECT_EQ(program->main(), nullptr);
  EXPECT_TRUE(host().visible());
  EXPECT_EQ(g().mainWindowClosed, 1);
  EXPECT_EQ(readLastFileRecord(), picture);
  EXPECT_EQ(g().savedMainLeft, 120);
  EXPECT_EQ(g().savedMainTop, 130);
  EXPECT_FALSE(backend.quitRequested());
}

TEST_F(LifecycleTest, DisplayAfterClose_RecreatesAtSavedGeometryWithSamePicture) {
  main().move(120, 130);
  main().setWidth(200);  // ratio 0.75 gives 150 high
  main().onKeyDown(ui::key::kEscape, 0);

  backend.chooseMenu({"Display"});
  host().onRightDown(3, 3, 0);
  ASSERT_NE(program->main(), nullptr);
  EXPECT_EQ(g().mainWindowClosed, 0);
  EXPECT_EQ(main().left(), 120);
  EXPECT_EQ(main().top(), 130);
  EXPECT_EQ(main().width(), 200);
  EXPECT_EQ(main().height(), 150);
  EXPECT_EQ(g().currentPicturePath, picture);
  EXPECT_FALSE(host().visible());
  EXPECT_TRUE(main().visible());
}

TEST_F(LifecycleTest, HostDoubleClickAndSpace_BringBackClosedWindow) {
  for (int way = 0; way < 2; ++way) {
    main().onKeyDown(ui::key::kEscape, 0);
    ASSERT_EQ(program->main(), nullptr);
    if (way == 0) {
      host().onDoubleClick(1, 1, 0);
    } else {
      host().onKeyDown(ui::key::kSpace, 0);
    }
    ASSERT_NE(program->main(), nullptr) << "way " << way;
    EXPECT_FALSE(host().visible());
  }
}

TEST_F(LifecycleTest, DontPenetrate_RebuildsWindowKeepingFolderListAndGeometry) {
  main().onKeyDown(ui::key::kPageDown, 0);  // to b.jpg, shown at width 400
  ASSERT_EQ(g().folderList.at(static_cast<std::size_t>(g().folderIndex - 1)),
            g().currentPicturePath);
  main().move(300, 200);
  auto list = g().folderList;
  int index = g().folderIndex;
  int width = main().width(), height = main().height();
  g().clickThrough = 1;
  main().setExStyle(main().exStyle() | ui::Window::kTransparentBit);

  host().onKeyDown(ui::key::letter('C'), 0);
  ASSERT_NE(program->main(), nullptr);
  EXPECT_EQ(main().exStyle() & ui::Window::kTransparentBit, 0) << "rebuilt without click-through";
  EXPECT_EQ(g().folderList, list);
  EXPECT_EQ(g().folderIndex, index);
  EXPECT_EQ(main().left(), 300);
  EXPECT_EQ(main().top(), 200);
  EXPECT_EQ(main().width(), width);
  EXPECT_EQ(main().height(), height);
  EXPECT_EQ(g().clickThrough, 0);
  EXPECT_EQ(box().origin(), g().currentPicturePath);
}

TEST_F(LifecycleTest, Display_WhileClickThrough_TogglesMainAndKeepsHost) {
  g().clickThrough = 1;
  host().setVisible(true);
  app::showMainWindow(*program);
  EXPECT_FALSE(main().visible());
  EXPECT_TRUE(host().visible());
  app::showMainWindow(*program);
  EXPECT_TRUE(main().visible());
  EXPECT_TRUE(host().visible());
}

TEST_F(LifecycleTest, RebuildKeepsAppliedTransparencyWhileLevelReads255) {
  g().alphaLevel = 100;
  main().setAlpha(100);
  app::recreateMainWindow(*program);
  EXPECT_EQ(main().alpha(), 100);
  EXPECT_EQ(g().alphaLevel, 255);
}

TEST_F(LifecycleTest, HostPageKeys_ExplainAndEndProgram) {
  for (int key : {ui::key::kPageUp, ui::key::kPageDown}) {
    backend.quitCalls = 0;
    backend.messages.clear();
    host().onKeyDown(key, 0);
    ASSERT_EQ(backend.messages.size(), 1u);
    EXPECT_EQ(backend.messages[0].text, "很抱歉程序遇到问题需要退出，如有需要请重新运行！");
    EXPECT_EQ(backend.messages[0].caption, "提示");
    EXPECT_TRUE(backend.quitRequested());
  }
}

TEST_F(LifecycleTest, HostMoved_DraggedMovesMainAlong_NegativeClampedToZero) {
  host().systemFocused(true);
  host().systemMoved(200, 300);
  EXPECT_EQ(main().left(), 215);
  EXPECT_EQ(main().top(), 315);

  host().systemFocused(false);
  host().move(-20, -5);
  EXPECT_EQ(host().left(), 0);
  EXPECT_EQ(host().top(), 0);
  EXPECT_EQ(main().left(), 215) << "a move made by the program does not drag the picture";
}

TEST_F(LifecycleTest, CloseProgram_WritesStateNoteOnceDeletesWorkBitmapAndQuits) {
  folder.write(core::kWorkBitmapFile, std::string("BM"));
  core::noteBox(*program).setText("便签");
  g().textNoteMode = 1;
  backend.chooseMenu({"关闭程序"});
  box().onRightDown(1, 1, 0);
  EXPECT_TRUE(backend.quitRequested());
  EXPECT_EQ(backend.quitCode, 0);
  EXPECT_FALSE(files::exists(path(core::kWorkBitmapFile)));
  EXPECT_EQ(readLastFileRecord(), picture);
  EXPECT_EQ(g().textNoteMode, 0);
  auto note = files::read(path(core::kNoteFile));
  ASSERT_TRUE(note);
  EXPECT_EQ(text::fromStateFile(*note), "便签");
  // Changing the file now shows whether shutdown writes the note a second time.
  folder.write(core::kNoteFile, std::string("later"));
  shutdown();
  EXPECT_EQ(text::fromStateFile(*files::read(path(core::kNoteFile))), "later");
}

TEST_F(LifecycleTest, ExitQuillet_EndsAndShutdownSavesState_RestartStartsOwnExecutable) {
  g().currentPicturePath = path("pics/b.jpg");
  g().restartRequested = 1;
  backend.chooseMenu({"Exit Quillet"});
  host().onRightDown(1, 1, 0);
  EXPECT_TRUE(backend.quitRequested());
  shutdown();
  EXPECT_EQ(readLastFileRecord(), path("pics/b.jpg"));
  EXPECT_EQ(backend.startedProcesses, std::vector<std::string>{path("quillet")});
}

TEST_F(LifecycleTest, NoRestartWithoutRequest_AndShutdownTwiceIsHarmless) {
  shutdown();
  shutdown();
  EXPECT_TRUE(backend.startedProcesses.empty());
}

TEST_F(LifecycleTest, PenetrateEntryDoesNothing) {
  backend.chooseMenu({"Penetrate"});
  host().onRightDown(1, 1, 0);
  EXPECT_FALSE(backend.quitRequested());
  EXPECT_NE(program->main(), nullptr);
}

TEST_F(LifecycleTest, MainMoved_KeepsTenPixelsOnScreen) {
  struct Case {
    int left, top, wantLeft, wantTop;
  } cases[] = {
      {-500, 100, 10 - 400, 100},  // too far left
      {1300, 100, 1270, 100},      // past the right screen edge
      {100, -400, 100, 10 - 300},  // too far up
      {100, 1100, 100, 1014},      // below the screen
      {-390, -290, -390, -290},    // exactly ten pixels left
  };
  for (const auto& c : cases) {
    main().move(c.left, c.top);
    EXPECT_EQ(main().left(), c.wantLeft) << c.left << "," << c.top;
    EXPECT_EQ(main().top(), c.wantTop) << c.left << "," << c.top;
  }
  main().setWidth(100);
  main().move(-200, 10);
  EXPECT_EQ(main().left(), -90);
}

TEST_F(LifecycleTest, MainResized_MinimumWidthRatioAndFreeModes) {
  main().setWidth(5);
  EXPECT_EQ(main().width(), 20);
  EXPECT_EQ(main().height(), 15);

  main().setWidth(401);
  EXPECT_EQ(main().width(), 401);
  EXPECT_EQ(main().height(), 300);
  EXPECT_EQ(box().width(), 401);
  EXPECT_EQ(box().height(), 300);
  EXPECT_EQ(g().lastDisplayWidth, 401);

  g().ratioLocked = 0;
  main().setHeight(120);
  EXPECT_EQ(box().width(), 401);
  EXPECT_EQ(box().height(), 120);

  g().localZoom = 1;
  box().setGeometry(-30, -40, 900, 700);
  main().setWidth(350);
  EXPECT_EQ(box().left(), -30);
  EXPECT_EQ(box().top(), -40);
  EXPECT_EQ(box().width(), 900);
  EXPECT_EQ(g().lastDisplayWidth, 900);
}

TEST_F(LifecycleTest, MainResized_NoteBoxFollowsWindowInNoteMode) {
  core::noteBox(*program).setVisible(true);
  main().setHeight(250);
  EXPECT_EQ(box().height(), 250);
  EXPECT_EQ(core::noteBox(*program).height(), 207);
  EXPECT_EQ(core::noteBox(*program).width(), 381);
}

// Closed windows, the main one as the others, are freed once the handlers
// that closed them are done: opening and closing them ten times keeps no
// more of them than once.
TEST_F(LifecycleTest, ClosedWindows_AreFreedAfterTheirHandlers_NoneKeptForLater) {
  auto openAndClose = [this] {
    help::showHelpWindow(*program, app::guideText());
    program->secondary(help::kHelpWindowKey)->get<ui::Button>("按钮2").click();
    main().onKeyDown(ui::key::letter('S'), 0);
    ASSERT_NE(program->secondary("slideshow"), nullptr);
    main().onKeyDown(ui::key::letter('S'), 0);
    main().onKeyDown(ui::key::kEscape, 0);
    host().onDoubleClick(1, 1, 0);
    app::recreateMainWindow(*program);
  };
  openAndClose();
  backend.nextTurn();
  const int once = backend.liveWindows;
  for (int i = 0; i < 9; ++i) openAndClose();
  EXPECT_GT(backend.liveWindows, once) << "freed while a handler of theirs may still run";
  backend.nextTurn();
  EXPECT_EQ(backend.liveWindows, once);
  EXPECT_EQ(program->secondary("slideshow"), nullptr);
  EXPECT_EQ(program->secondary(help::kHelpWindowKey), nullptr);
  EXPECT_EQ(box().origin(), picture);
}

TEST_F(LifecycleTest, WindowManagerResize_RunsSameRules) {
  main().systemResized(5, 5);
  EXPECT_EQ(main().width(), 20);
  EXPECT_EQ(main().height(), 15);
}

}  // namespace
}  // namespace quillet::testing
