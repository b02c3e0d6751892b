#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "app/command_line.h"
#include "platform/files.h"
#include "platform/program_folders.h"
#include "support/program_fixture.h"
#include "support/temp_folder.h"

namespace quillet::testing {
namespace {

using Action = app::CommandLine::Action;

TEST(CommandLine, OnePictureIsShown_AnythingElseIsExplainedAndTheUsualStartGoesOn) {
  TempFolder tmp;
  tmp.write("a.jpg", image::encodeJpeg(image::Bitmap{4, 4, image::Bytes(48, 9)}, 90).value);
  tmp.write("notes.txt", std::string("not a picture"));
  tmp.makeFolder("folder.jpg");
  struct Case {
    std::vector<std::string> words;
    Action action;
    std::string picture;
    std::size_t complaints;
  };
  const std::vector<Case> cases = {
      {{}, Action::Run, "", 0},
      {{tmp.path("a.jpg")}, Action::Run, tmp.path("a.jpg"), 0},
      {{"--", tmp.path("a.jpg")}, Action::Run, tmp.path("a.jpg"), 0},
      {{tmp.path("missing.jpg")}, Action::Run, "", 1},
      {{tmp.path("folder.jpg")}, Action::Run, "", 1},
      {{tmp.path("notes.txt")}, Action::Run, "", 1},
      {{tmp.path("a.jpg"), tmp.path("a.jpg")}, Action::Run, "", 1},
      {{"--frobnicate"}, Action::Run, "", 1},
      {{tmp.path("a.jpg"), "--help"}, Action::Help, "", 0},
      {{"--version"}, Action::Version, "", 0},
  };
  for (const Case& c : cases) {
    const app::CommandLine line = app::readCommandLine(c.words);
    const std::string shown = ::testing::PrintToString(c.words);
    EXPECT_EQ(line.action, c.action) << shown;
    EXPECT_EQ(line.picture, c.picture) << shown;
    EXPECT_EQ(line.complaints.size(), c.complaints) << shown;
  }
  // A name given from the folder the program was started in is made whole.
  const auto here = std::filesystem::current_path();
  std::filesystem::current_path(tmp.root());
  const app::CommandLine relative = app::readCommandLine({"a.jpg"});
  std::filesystem::current_path(here);
  EXPECT_EQ(relative.picture, tmp.path("a.jpg"));
}

TEST(ProgramFolders, UnpackedProgramKeepsItsState_InstalledOneUsesTheUsersFolder) {
  TempFolder tmp;
  tmp.makeFolder("unpacked/pic");
  tmp.makeFolder("usr/bin");
  tmp.write("usr/share/quillet/pic/1.jpg", std::string("picture"));
  const std::string data = tmp.path("data");

  const auto unpacked = folders::chooseLayout(tmp.path("unpacked"), "", data);
  EXPECT_EQ(unpacked.stateFolder, tmp.path("unpacked"));
  EXPECT_EQ(unpacked.defaultPicture, tmp.path("unpacked/pic/1.jpg"));

  const auto installed = folders::chooseLayout(tmp.path("usr/bin"), "", data);
  EXPECT_EQ(installed.stateFolder, data + "/quillet") << "never beside an installed program";
  EXPECT_EQ(installed.defaultPicture, tmp.path("usr/share/quillet/pic/1.jpg"));

  const auto named = folders::chooseLayout(tmp.path("usr/bin"), tmp.path("mine"), data);
  EXPECT_EQ(named.stateFolder, tmp.path("mine"));
  EXPECT_EQ(named.defaultPicture, tmp.path("mine/pic/1.jpg"));

  EXPECT_TRUE(folders::createFolders(data + "/quillet/pic"));
  EXPECT_TRUE(std::filesystem::is_directory(data + "/quillet/pic"));
  tmp.write("file", std::string("x"));
  EXPECT_FALSE(folders::createFolders(tmp.path("file/below")));

  if (::geteuid() == 0) return;  // root writes anywhere
  ::chmod(tmp.path("unpacked").c_str(), 0500);
  EXPECT_EQ(folders::chooseLayout(tmp.path("unpacked"), "", data).stateFolder, data + "/quillet")
      << "an unpacked program the user may not write keeps state in the user's folder";
  ::chmod(tmp.path("unpacked").c_str(), 0700);
}

using StartUpWordsTest = ProgramTest;

TEST_F(StartUpWordsTest, NamedPicture_IsShownInsteadOfTheRememberedOne_AndRemembered) {
  const std::string remembered = writePicture("f/old.jpg", 100, 80);
  const std::string named = writePicture("g/new.jpg", 120, 60);
  writeLastFileRecord(remembered);
  program = std::make_unique<app::Quillet>(
      backend, core::Environment{folder.root(), "quillet", {}, {}, named});
  start();
  EXPECT_EQ(g().currentPicturePath, named);
  EXPECT_EQ(main().title(), "Quillet －  原图大小：120  ×60");
  EXPECT_EQ(g().folderList, std::vector<std::string>{named});
  main().onKeyDown(0x1B, 0);
  EXPECT_EQ(readLastFileRecord(), named);
  host().onDoubleClick(1, 1, 0);
  EXPECT_EQ(g().currentPicturePath, named) << "a window made again shows what is remembered";
}

TEST_F(StartUpWordsTest, DroppedPicture_OpensAsTheDialogsChoiceWould_OtherFilesAreRefused) {
  writePicture("pic/1.jpg", 100, 80);
  start();
  main().setAlpha(60);
  g().alphaLevel = 60;
  const std::string text = path("notes.txt");
  folder.write("notes.txt", std::string("not a picture"));
  const ui::PictureBytes before = box().picture();
  main().onFilesDropped({text});
  EXPECT_EQ(box().picture(), before);
  EXPECT_EQ(backend.reports.size(), 1u);

  const std::string dropped = writePicture("h/dropped.bmp", 150, 90);
  main().onFilesDropped({text, dropped});
  EXPECT_EQ(g().currentPicturePath, dropped);
  EXPECT_EQ(main().width(), 150);
  EXPECT_EQ(g().alphaLevel, 255);
  EXPECT_EQ(g().folderList, std::vector<std::string>{dropped});
}

TEST_F(StartUpWordsTest, StateThatCannotBeSaved_IsReportedOnce) {
  writePicture("pic/1.jpg", 100, 80);
  start();
  folder.makeFolder("上次文件.txt");  // a folder in the record's place refuses every write
  main().onKeyDown(0x1B, 0);
  host().onDoubleClick(1, 1, 0);
  main().onKeyDown(0x1B, 0);
  EXPECT_EQ(backend.reports.size(), 1u);
}

}  // namespace
}  // namespace quillet::testing
