#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "core/names.h"
#include "platform/files.h"
#include "platform/text.h"
#include "support/program_fixture.h"
#include "support/temp_folder.h"

namespace quillet::testing {
namespace {

std::vector<std::uint8_t> bytesOf(const std::string& s) { return {s.begin(), s.end()}; }

TEST(StateTextTest, RoundTripsEveryKindOfCharacterThroughGb18030) {
  for (const std::string s : {"", "C:/plain/ascii.jpg", "/家/图片 文件夹/第一 张.jpg",
                              "emoji 🎨 and ü and ０１２", "line\r\nbreaks"}) {
    auto onDisk = text::toStateFile(s);
    EXPECT_EQ(text::fromStateFile(onDisk), s);
  }
  // GBK bytes written by older versions: "图片" is CD BC C6 AC.
  EXPECT_EQ(text::fromStateFile({0xCD, 0xBC, 0xC6, 0xAC}), "图片");
}

TEST(StateTextTest, InvalidGb18030IsReadAsUtf8_BrokenBytesBecomeReplacement) {
  EXPECT_EQ(text::fromStateFile(bytesOf("价格€/a.jpg")), "价格€/a.jpg");
  EXPECT_EQ(text::fromStateFile({'a', 0xFF, 'b'}),
            "a\xEF\xBF\xBD"
            "b");
}

TEST(FilesTest, AtomicWriteReplacesWholeFileAndLeavesNoTemporaries) {
  TempFolder tmp;
  std::string file = tmp.path("state.txt");
  ASSERT_TRUE(files::writeAtomic(file, bytesOf("first version, rather long")));
  ASSERT_TRUE(files::writeAtomic(file, bytesOf("second")));
  EXPECT_EQ(*files::read(file), bytesOf("second"));
  EXPECT_EQ(files::list(tmp.root()), std::vector<std::string>{"state.txt"});
}

TEST(FilesTest, FailedWriteReportsFailureAndLeavesNothingBehind) {
  TempFolder tmp;
  // A folder in the file's place defeats the rename even for root.
  tmp.makeFolder("state.txt");
  EXPECT_FALSE(files::writeAtomic(tmp.path("state.txt"), bytesOf("new")));
  EXPECT_EQ(files::list(tmp.root()), std::vector<std::string>{"state.txt"});

  if (::geteuid() == 0) return;  // root writes into read-only folders
  std::string file = tmp.path("other.txt");
  ASSERT_TRUE(files::writeAtomic(file, bytesOf("old")));
  ::chmod(tmp.root().c_str(), 0500);
  EXPECT_FALSE(files::writeAtomic(file, bytesOf("new")));
  ::chmod(tmp.root().c_str(), 0700);
  EXPECT_EQ(*files::read(file), bytesOf("old"));
}

// Holds for any user, root included: the old file is never written into,
// and a write cut short leaves it whole.
TEST(FilesTest, AtomicWrite_NeverTouchesTheOldFile_EvenWhenCutShort) {
  TempFolder tmp;
  const std::string file = tmp.path("state.txt");
  const std::string oldLink = tmp.path("old-link");
  ASSERT_TRUE(files::writeAtomic(file, bytesOf("old content")));
  ASSERT_EQ(::link(file.c_str(), oldLink.c_str()), 0);
  ASSERT_TRUE(files::writeAtomic(file, bytesOf("new")));
  EXPECT_EQ(*files::read(oldLink), bytesOf("old content")) << "written in place";
  EXPECT_EQ(*files::read(file), bytesOf("new"));

  // A file-size limit stops the write half-way, as a full disk would.
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto previous = ::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 1000;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = files::writeAtomic(file, std::vector<std::uint8_t>(100000, 'x'));
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, previous);
  EXPECT_FALSE(written) << "a failed write is not reported as done";
  EXPECT_EQ(*files::read(file), bytesOf("new"));
  EXPECT_EQ(files::list(tmp.root()).size(), 2u) << "no temporary file is left behind";
}

TEST(FilesTest, OddPathsAreRefusedNotCrashed) {
  EXPECT_FALSE(files::writeAtomic("", bytesOf("x")));
  EXPECT_FALSE(files::writeAtomic("/nonexistent-folder/x/y.txt", bytesOf("x")));
  EXPECT_FALSE(files::read(""));
  EXPECT_FALSE(files::read("/"));
  EXPECT_EQ(files::size("/"), -1);
  EXPECT_TRUE(files::list("/nonexistent-folder").empty());
  EXPECT_EQ(files::folderOf("/a/b/c.jpg"), "/a/b/");
  EXPECT_EQ(files::folderOf("c.jpg"), "");
  EXPECT_EQ(files::lastChars("ab", 3), "ab");
}

// A new file takes its name only while nothing has it, whichever way the
// file system lets it, and a link planted where its bytes go first leads
// nowhere they go; a state file keeps replacing its older self.
TEST(FilesTest, NewFiles_NeverReplaceWhatHasTheirName_NorFollowPlantedLinks) {
  for (auto* place : {&files::renameNew, &files::linkNew}) {
    TempFolder tmp;
    tmp.write("from", std::string("new"));
    tmp.write("taken", std::string("old"));
    errno = 0;
    EXPECT_FALSE(place(tmp.path("from"), tmp.path("taken")));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(*files::read(tmp.path("taken")), bytesOf("old"));
    EXPECT_TRUE(place(tmp.path("from"), tmp.path("free")));
    EXPECT_EQ(*files::read(tmp.path("free")), bytesOf("new"));
    EXPECT_FALSE(files::exists(tmp.path("from")));
  }

  TempFolder tmp;
  tmp.write("elsewhere", std::string("not to be written"));
  tmp.write("a.jpg", std::string("older"));
  ::symlink("nowhere", tmp.path("b.jpg").c_str());
  ::symlink(tmp.path("elsewhere").c_str(), files::temporaryName(tmp.path("a.jpg")).c_str());
  std::vector<std::string> offered;
  const files::NewFile written = files::writeNew(tmp.path("a.jpg"), bytesOf("picture"), [&] {
    offered.push_back(offered.empty() ? tmp.path("b.jpg") : tmp.path("c.jpg"));
    return offered.back();
  });
  EXPECT_EQ(written.path, tmp.path("c.jpg"));
  EXPECT_EQ(*files::read(tmp.path("c.jpg")), bytesOf("picture"));
  EXPECT_EQ(*files::read(tmp.path("a.jpg")), bytesOf("older"));
  EXPECT_EQ(std::filesystem::read_symlink(tmp.path("b.jpg")), "nowhere");
  EXPECT_EQ(*files::read(tmp.path("elsewhere")), bytesOf("not to be written"));

  const files::NewFile refused =
      files::writeNew(tmp.path("a.jpg"), bytesOf("x"), [] { return std::string(); });
  EXPECT_TRUE(refused.path.empty());
  EXPECT_EQ(refused.error, EEXIST);
  auto names = files::list(tmp.root());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"a.jpg", "a.jpg.tmp-" + std::to_string(::getpid()),
                                             "b.jpg", "c.jpg", "elsewhere"}))
      << "nothing of ours left behind";

  ASSERT_TRUE(files::writeAtomic(tmp.path("a.jpg"), bytesOf("state")));
  EXPECT_EQ(*files::read(tmp.path("a.jpg")), bytesOf("state"));
  EXPECT_EQ(*files::read(tmp.path("elsewhere")), bytesOf("not to be written"));
}

using StateFilesTest = ProgramTest;

// A program folder that is not there: no user, root included, can write
// into it.
TEST_F(StateFilesTest, UnwritableProgramFolder_ProgramStillRunsAndEnds_SayingSoOnce) {
  const std::string picture = writePicture("pic/1.jpg", 100, 80);
  program = std::make_unique<app::Quillet>(backend,
                                           core::Environment{path("gone"), "quillet", {}, picture});
  start();
  main().onKeyDown(0x1B, 0);
  host().onDoubleClick(0, 0, 0);
  ASSERT_NE(program->main(), nullptr);
  EXPECT_TRUE(main().visible());
  EXPECT_EQ(g().currentPicturePath, picture);
  shutdown();
  ASSERT_EQ(backend.reports.size(), 1u) << "said once, however often it fails";
  EXPECT_NE(backend.reports[0].find(path(std::string("gone/") + core::kLastFileRecord)),
            std::string::npos);
  EXPECT_EQ(files::list(folder.root()), std::vector<std::string>{"pic"});
}

}  // namespace
}  // namespace quillet::testing
