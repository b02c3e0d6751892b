#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "core/main_controls.h"
#include "core/names.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/ui/input.h"
#include "support/program_fixture.h"

namespace quillet::testing {
namespace {

constexpr int kT = 0x54, kS = 0x53, kP = 0x50;

class TextNoteTest : public ProgramTest {
 protected:
  void SetUp() override {
    writePicture("pic/1.jpg", 400, 300);
    folder.write(core::kNoteFile, text::toStateFile("旧的便签\r\nold"));
    start();
  }
  ui::EditBox& note() { return core::noteBox(*program); }
  void press(int key, int modifiers = 0) { main().onKeyDown(key, modifiers); }
  // A write puts a new file in place; the same inode means nothing was written.
  ino_t noteInode() {
    struct stat st {};
    return ::stat(path(core::kNoteFile).c_str(), &st) == 0 ? st.st_ino : 0;
  }
  std::string noteOnDisk() {
    auto bytes = files::read(path(core::kNoteFile));
    return bytes ? std::string(bytes->begin(), bytes->end()) : "<missing>";
  }
  static std::string gb(const std::string& utf8) {
    auto bytes = text::toStateFile(utf8);
    return {bytes.begin(), bytes.end()};
  }
};

TEST_F(TextNoteTest, T_FramesTheWindowAroundTheNote_AndLeavingUnchangedWritesNothing) {
  const ino_t before = noteInode();
  press(kT);
  EXPECT_TRUE(note().visible());
  EXPECT_EQ(main().border(), ui::Window::Border::Sizable);
  EXPECT_EQ(main().title(), "文本便签模式");
  EXPECT_EQ((std::vector<int>{note().left(), note().top(), note().width(), note().height()}),
            (std::vector<int>{5, 5, 381, 257}));
  EXPECT_EQ(note().text(), "旧的便签\r\nold");
  EXPECT_EQ(g().textNoteMode, 0) << "reading the note is no edit";

  main().setWidth(500);  // the user stretches the framed window
  press(kT);
  EXPECT_FALSE(note().visible());
  EXPECT_EQ(main().border(), ui::Window::Border::None);
  EXPECT_EQ(main().width(), 400) << "the picture's proportions at the height kept";
  EXPECT_TRUE(main().hasFocus());
  EXPECT_EQ(noteInode(), before) << "the note file was rewritten";
}

TEST_F(TextNoteTest, TypedNote_IsWrittenByteForByteOnLeaving_AndCtrlSSavesOnTheWay) {
  const ino_t before = noteInode();
  backend.chooseMenu({"文本便签"});
  box().onRightDown(1, 1, 0);
  ASSERT_TRUE(note().visible());
  note().onKeyDown(kS, ui::kCtrl);
  EXPECT_EQ(noteInode(), before) << "Ctrl+S with nothing changed writes nothing";

  note().userEdited("第一行\r\n第二行\nthird\r");
  EXPECT_EQ(g().textNoteMode, 1);
  note().onKeyDown(kS, ui::kCtrl | ui::kShift);
  note().onKeyDown(kP, ui::kCtrl | ui::kShift);
  EXPECT_EQ(noteInode(), before) << "Ctrl+Shift is not Ctrl";
  EXPECT_TRUE(backend.printed.empty());

  note().onKeyDown(kS, ui::kCtrl);
  EXPECT_EQ(noteOnDisk(), gb("第一行\r\n第二行\nthird\r"));
  EXPECT_EQ(g().textNoteMode, 1) << "saved, and written once more on leaving";
  const ino_t saved = noteInode();

  note().onKeyDown(kP, ui::kCtrl);
  ASSERT_EQ(backend.printed.size(), 1u);
  EXPECT_EQ(backend.printed[0].text, "第一行\r\n第二行\nthird\r");

  box().onDoubleClick(10, 10, 0);
  EXPECT_FALSE(note().visible());
  EXPECT_NE(noteInode(), saved);
  EXPECT_EQ(noteOnDisk(), gb("第一行\r\n第二行\nthird\r"));
  EXPECT_EQ(g().textNoteMode, 0);
}

TEST_F(TextNoteTest, NoteTheFileRefuses_StaysInTheBoxAndIsSavedOnceItCan) {
  press(kT);
  note().userEdited("不能丢");
  std::filesystem::remove(path(core::kNoteFile));
  folder.makeFolder(core::kNoteFile);  // a folder in the file's place refuses any write
  press(kT);
  EXPECT_EQ(g().textNoteMode, 1) << "not written, so not saved";
  press(kT);
  EXPECT_EQ(note().text(), "不能丢") << "entering again must not bring back the old file";

  std::filesystem::remove(path(core::kNoteFile));
  note().onKeyDown(kS, ui::kCtrl);
  EXPECT_EQ(noteOnDisk(), gb("不能丢"));
}

TEST_F(TextNoteTest, MissingNoteFile_GivesAnEmptyNote) {
  std::filesystem::remove(path(core::kNoteFile));
  note().setText("");
  g().textNoteMode = 0;
  press(kT);
  EXPECT_EQ(note().text(), "");
  press(kT);
  EXPECT_FALSE(files::exists(path(core::kNoteFile))) << "nothing typed, nothing written";
}

}  // namespace
}  // namespace quillet::testing
