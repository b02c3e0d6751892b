#include <gtest/gtest.h>

#include "core/main_controls.h"
#include "core/names.h"
#include "platform/files.h"
#include "platform/text.h"
#include "support/program_fixture.h"

namespace quillet::testing {
namespace {

using StartupTest = ProgramTest;

TEST_F(StartupTest, FirstStart_ShowsDefaultPictureAtItsOwnSize) {
  std::string picture = writePicture("pic/1.jpg", 400, 300);
  start();

  ASSERT_NE(program->main(), nullptr);
  EXPECT_EQ(g().currentPicturePath, picture);
  EXPECT_EQ(main().left(), 50);
  EXPECT_EQ(main().top(), 50);
  EXPECT_EQ(main().width(), 400);
  EXPECT_EQ(main().height(), 300);
  EXPECT_EQ(box().width(), 400);
  EXPECT_EQ(box().height(), 300);
  EXPECT_EQ(main().title(), "Quillet －  原图大小：400  ×300");
  EXPECT_TRUE(main().visible());
  EXPECT_TRUE(main().topmost());
  EXPECT_EQ(main().border(), ui::Window::Border::None);
  EXPECT_EQ(main().exStyle() & ui::Window::kLayeredBit, ui::Window::kLayeredBit);
  EXPECT_EQ(main().alpha(), 255);
  EXPECT_FALSE(host().visible());
  EXPECT_EQ(host().width(), 15);
  EXPECT_EQ(host().height(), 15);
  EXPECT_EQ(host().title(), "Quillet");
  ASSERT_NE(box().picture(), nullptr);
  EXPECT_EQ(g().loadedPicture, box().picture());
  EXPECT_TRUE(box().problem().empty());
  EXPECT_EQ(g().folderList, std::vector<std::string>{picture});
  EXPECT_EQ(g().folderIndex, 1);
  EXPECT_EQ(g().ratioLocked, 1);
  EXPECT_EQ(g().alphaLevel, 255);
  EXPECT_EQ(g().layeredOn, 1);
  EXPECT_EQ(g().programFileName, "quillet");
  EXPECT_TRUE(backend.dialogs.empty());
}

TEST_F(StartupTest, MissingDefaultPicture_OffersDialogPresetWithIt_CancelKeepsEmptyWindow) {
  start();
  ASSERT_EQ(backend.dialogs.size(), 1u);
  EXPECT_EQ(backend.dialogs[0].title, "打开图片");
  EXPECT_EQ(backend.dialogs[0].filter,
            "图形交换格式(*.jpg)|*.jpg|位图(*.bmp)|*.bmp|所有文件(*.*)|*.*");
  EXPECT_EQ(backend.dialogs[0].preset, path("pic/1.jpg"));
  EXPECT_FALSE(backend.quitRequested());
  EXPECT_EQ(main().width(), 345);
  EXPECT_EQ(main().height(), 503);
  EXPECT_EQ(box().width(), 345);
  EXPECT_EQ(box().height(), 504);
  EXPECT_EQ(box().picture(), nullptr);
}

TEST_F(StartupTest, EmptyLastFileRecord_DialogWithoutPreset_CancelEndsProgram) {
  writePicture("pic/1.jpg", 400, 300);
  writeLastFileRecord("");
  start();
  ASSERT_EQ(backend.dialogs.size(), 1u);
  EXPECT_EQ(backend.dialogs[0].preset, "");
  EXPECT_TRUE(backend.quitRequested());
  EXPECT_EQ(backend.quitCode, 0);
}

TEST_F(StartupTest, RecordNamingMissingFile_DialogPresetWithIt_ChosenPictureShows) {
  std::string other = writePicture("elsewhere/b.jpg", 200, 100);
  writeLastFileRecord(path("gone/a.jpg"));
  backend.answerOpenDialog(other);
  start();
  ASSERT_EQ(backend.dialogs.size(), 1u);
  EXPECT_EQ(backend.dialogs[0].preset, path("gone/a.jpg"));
  EXPECT_EQ(g().currentPicturePath, other);
  EXPECT_EQ(main().width(), 200);
  EXPECT_EQ(main().height(), 100);
  EXPECT_EQ(g().folderList, std::vector<std::string>{other});
}

TEST_F(StartupTest, ChinesePathWithSpaces_RoundTripsThroughRecordInGb18030) {
  std::string picture = writePicture("图片 文件夹/第一 张.jpg", 640, 480);
  writeLastFileRecord(picture);
  auto before = files::read(path(core::kLastFileRecord));
  start();
  EXPECT_EQ(g().currentPicturePath, picture);
  EXPECT_EQ(main().width(), 640);
  EXPECT_EQ(main().height(), 480);
  shutdown();
  auto after = files::read(path(core::kLastFileRecord));
  ASSERT_TRUE(before && after);
  EXPECT_EQ(*after, *before);
  // Not the UTF-8 bytes: the record stays readable by older versions.
  std::string utf8 = picture;
  EXPECT_NE(std::string(after->begin(), after->end()), utf8);
}

TEST_F(StartupTest, RecordWithAnEditorsLineEnd_OpensItsPicture_InGb18030OrUtf8) {
  // Written by hand in UTF-8, the first record's bytes are not valid GB18030.
  const std::string utf8 = writePicture("价格€/a.jpg", 120, 90);
  const std::string gb = writePicture("图片/第一 张.jpg", 120, 90);
  const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> records = {
      {utf8, std::vector<std::uint8_t>(utf8.begin(), utf8.end())}, {gb, text::toStateFile(gb)}};
  for (const auto& [picture, bytes] : records) {
    for (const char* end : {"", "\n", "\r\n", "\r", "\r\n\r\n"}) {
      SCOPED_TRACE(picture + " + " + ::testing::PrintToString(std::string(end)));
      std::vector<std::uint8_t> record = bytes;
      record.insert(record.end(), end, end + std::char_traits<char>::length(end));
      folder.write(core::kLastFileRecord, record);
      program =
          std::make_unique<app::Quillet>(backend, core::Environment{folder.root(), "quillet", {}});
      backend.dialogs.clear();
      start();
      EXPECT_EQ(g().currentPicturePath, picture);
      EXPECT_TRUE(backend.dialogs.empty()) << "no dialog for a record that names a picture";
      shutdown();
    }
  }
}

TEST_F(StartupTest, RecordFromAWindowsVersion_IsReadCharacterByCharacter) {
  // "价格€12/图.jpg" in code page 936, where the euro sign is the byte 0x80,
  // which GB18030 does not have.
  const std::string picture = writePicture("价格€12/图.jpg", 120, 90);
  folder.write(core::kLastFileRecord, path("\xBC\xDB\xB8\xF1\x80"
                                           "12/\xCD\xBC.jpg"));
  start();
  EXPECT_EQ(g().currentPicturePath, picture);
  EXPECT_TRUE(backend.dialogs.empty()) << "the record names a picture that is there";
}

TEST_F(StartupTest, SavedNoteIsLoadedIntoNoteBox) {
  writePicture("pic/1.jpg", 100, 100);
  folder.write(core::kNoteFile, text::toStateFile("第一行\r\n第二行"));
  start();
  EXPECT_EQ(core::noteBox(*program).text(), "第一行\r\n第二行");
  EXPECT_FALSE(core::noteBox(*program).visible());
  EXPECT_EQ(g().textNoteMode, 0);
}

TEST_F(StartupTest, MainMenu_HasEveryEntryInOrder) {
  writePicture("pic/1.jpg", 100, 100);
  start();
  std::vector<std::string> captions;
  for (const auto& item : main().menu().items)
    captions.push_back(item.separator ? "—" : item.caption);
  EXPECT_EQ(captions,
            (std::vector<std::string>{"打开图片", "隐藏图片", "截取图片", "—",        "上一幅图",
                                      "下一幅图", "自动浏览", "—",        "恢复原图", "取消透明",
                                      "—",        "镜像翻转", "角度旋转", "灰度去色", "改变比例",
                                      "—",        "涂鸦工具", "—",        "鼠标穿透", "图片避让",
                                      "前置后置", "—",        "文本便签", "帮助信息", "关闭程序"}));
  auto children = [&](const char* caption) {
    std::vector<std::string> out;
    for (const auto& c : main().menu().find(caption)->children) out.push_back(c.caption);
    return out;
  };
  EXPECT_EQ(children("镜像翻转"), (std::vector<std::string>{"水平", "纵向", "对角"}));
  EXPECT_EQ(children("角度旋转"), (std::vector<std::string>{"直角", "自定"}));
  EXPECT_EQ(children("灰度去色"),
            (std::vector<std::string>{"值为2", "值为4", "值为8", "值为16", "值为32", "值为64",
                                      "值为128", "自定义", "还原"}));
  EXPECT_EQ(main().menu().title, "操作");
}

TEST_F(StartupTest, RightClickOnPicture_OpensMenu_AndChosenEntryRuns) {
  writePicture("pic/1.jpg", 100, 100);
  start();
  backend.chooseMenu({"关闭程序"});
  box().onRightDown(10, 10, 0);
  EXPECT_EQ(backend.menusShown, std::vector<std::string>{"操作"});
  EXPECT_TRUE(backend.quitRequested());
}

TEST_F(StartupTest, LeftButtonOnPicture_StartsSystemMove) {
  writePicture("pic/1.jpg", 100, 100);
  start();
  box().onLeftDown(5, 5, 0);
  EXPECT_EQ(backend.systemMoves.size(), 1u);
}

}  // namespace
}  // namespace quillet::testing

namespace quillet::testing {
namespace {

TEST_F(StartupTest, RecordWrittenByHandInUtf8_IsFoundEvenWhereBytesAreAlsoGb18030) {
  std::string picture = writePicture("图片 文件夹/第一 张.jpg", 64, 48);
  folder.write(core::kLastFileRecord, picture);
  start();
  EXPECT_EQ(g().currentPicturePath, picture);
  EXPECT_TRUE(backend.dialogs.empty());
}

}  // namespace
}  // namespace quillet::testing
