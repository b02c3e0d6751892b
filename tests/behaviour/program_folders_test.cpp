#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/program_folders.h"
#include "support/temp_folder.h"

namespace quillet::testing {
namespace {

// Whether the user may write beside the program is asked of the folder
// itself, so that the answer does not hang on who runs the test (root may
// write anywhere).
TEST(ProgramFolders, UnpackedProgramTheUserMayNotWrite_KeepsItsStateInTheUsersFolder) {
  TempFolder tmp;
  tmp.makeFolder("unpacked/pic");
  const std::string data = tmp.path("data");
  std::vector<std::string> asked;
  const auto locked =
      folders::chooseLayout(tmp.path("unpacked"), "", data, [&asked](const std::string& folder) {
        asked.push_back(folder);
        return false;
      });
  EXPECT_EQ(asked, std::vector<std::string>{tmp.path("unpacked")});
  EXPECT_EQ(locked.stateFolder, data + "/quillet");
  EXPECT_EQ(locked.defaultPicture, tmp.path("unpacked/pic/1.jpg")) << "its own picture still";

  const auto open = folders::chooseLayout(tmp.path("unpacked"), "", data,
                                          [](const std::string&) { return true; });
  EXPECT_EQ(open.stateFolder, tmp.path("unpacked"));

  // What the real check says holds for any user.
  tmp.write("file", std::string("x"));
  EXPECT_FALSE(folders::writableFolder(tmp.path("missing")));
  EXPECT_FALSE(folders::writableFolder(tmp.path("file")));
  EXPECT_TRUE(folders::writableFolder(tmp.path("unpacked")));
}

}  // namespace
}  // namespace quillet::testing
