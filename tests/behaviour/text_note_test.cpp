#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "core/main_controls.h"
#include "core/names.h"
#include "platform/files.h"
#include "platform/ui/input.h"
#include "support/program_fixture.h"

namespace quillet::testing {
namespace {

constexpr int kT = 0x54, kS = 0x53, kP = 0x50;

// Note files as GB18030 bytes, written out so that an encoder fault shows.
// "旧的便签\r\nold"
const std::string kOldNote = "\xBE\xC9\xB5\xC4\xB1\xE3\xC7\xA9\r\nold";
// "便签"
const std::string kNote = "\xB1\xE3\xC7\xA9";

class TextNoteTest : public ProgramTest {
 protected:
  void SetUp() override {
    writePicture("pic/1.jpg", 400, 300);
    writePicture("pic/2.jpg", 400, 300);
    folder.write(core::kNoteFile, kOldNote);
    start();
  }
  // The program run again on what the folder now holds.
  void restart() {
    shutdown();
    program =
        std::make_unique<app::Quillet>(backend, core::Environment{folder.root(), "quillet", {}});
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
  const std::string typed = "\xB5\xDA\xD2\xBB\xD0\xD0\r\n\xB5\xDA\xB6\xFE\xD0\xD0\nthird\r";
  EXPECT_EQ(g().textNoteMode, 1);
  note().onKeyDown(kS, ui::kCtrl | ui::kShift);
  note().onKeyDown(kP, ui::kCtrl | ui::kShift);
  EXPECT_EQ(noteInode(), before) << "Ctrl+Shift is not Ctrl";
  EXPECT_TRUE(backend.printed.empty());

  note().onKeyDown(kS, ui::kCtrl);
  EXPECT_EQ(noteOnDisk(), typed);
  EXPECT_EQ(g().textNoteMode, 1) << "saved, and written once more on leaving";
  const ino_t saved = noteInode();

  note().onKeyDown(kP, ui::kCtrl);
  ASSERT_EQ(backend.printed.size(), 1u);
  EXPECT_EQ(backend.printed[0].text, "第一行\r\n第二行\nthird\r");

  box().onDoubleClick(10, 10, 0);
  EXPECT_FALSE(note().visible());
  EXPECT_NE(noteInode(), saved);
  EXPECT_EQ(noteOnDisk(), typed);
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
  EXPECT_EQ(noteOnDisk(), "\xB2\xBB\xC4\xDC\xB6\xAA");
}

TEST_F(TextNoteTest, NoteFileGoneOrUnreadable_GivesAnEmptyNote_AndNothingIsWritten) {
  for (bool unreadable : {false, true}) {
    SCOPED_TRACE(unreadable ? "a folder in the file's place" : "no file");
    restart();
    ASSERT_EQ(note().text(), "旧的便签\r\nold") << "loaded when the window was made";
    std::filesystem::remove(path(core::kNoteFile));
    if (unreadable) folder.makeFolder(core::kNoteFile);
    press(kT);
    EXPECT_EQ(note().text(), "");
    press(kT);
    EXPECT_FALSE(files::isRegularFile(path(core::kNoteFile))) << "nothing typed, nothing written";
    std::filesystem::remove(path(core::kNoteFile));
    folder.write(core::kNoteFile, kOldNote);
  }
}

TEST_F(TextNoteTest, NoteFromAWindowsEditor_IsReadCharacterByCharacter_AndNeverWrittenUnedited) {
  struct Case {
    const char* what;
    std::string bytes;
    std::string shown;
  };
  const Case cases[] = {
      {"the euro sign of code page 936",
       "\xB1\xE3\xC7\xA9\xA3\xBA\xC2\xF2\xD1\xD5\xC1\xCF \x80"
       "12",
       "便签：买颜料 €12"},
      {"half a double-byte character at the end", kNote + "\xB1", "便签\uFFFD"},
      {"a byte that starts no character", "\xB1\xE3\xFF\xC7\xA9", "便\uFFFD签"},
      {"a lead byte before a line end", "\xB1\xE3\xC7\r\nA", "便\uFFFD\r\nA"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    folder.write(core::kNoteFile, c.bytes);
    restart();
    EXPECT_EQ(note().text(), c.shown) << "loaded with the window";
    const ino_t before = noteInode();
    press(kT);
    EXPECT_EQ(note().text(), c.shown) << "read on entering";
    press(kT);
    restart();
    EXPECT_EQ(noteInode(), before) << "written back without an edit";
    EXPECT_EQ(noteOnDisk(), c.bytes);
  }
}

TEST_F(TextNoteTest, EditedNote_IsWrittenHoweverThePictureWindowGoes) {
  const std::vector<std::pair<const char*, std::function<void()>>> ways = {
      {"Esc", [this] { press(ui::key::kEscape); }},
      {"the frame's close button", [this] { main().onCloseRequest(); }},
      {"Don't Penetrate",
       [this] {
         backend.chooseMenu({"Don't Penetrate"});
         host().onRightDown(1, 1, 0);
       }},
      {"too flat to page",
       [this] {
         main().setHeight(15);
         press(ui::key::kPageDown);
       }},
      {"the program's end", [this] { shutdown(); }},
  };
  int n = 0;
  for (const auto& [what, close] : ways) {
    SCOPED_TRACE(what);
    restart();
    press(kT);
    const std::string digit(1, static_cast<char>('1' + n++));
    note().userEdited("便签" + digit);
    close();
    EXPECT_EQ(noteOnDisk(), kNote + digit);
  }
}

}  // namespace
}  // namespace quillet::testing
