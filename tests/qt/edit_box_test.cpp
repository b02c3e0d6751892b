#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QPlainTextEdit>

#include <string>
#include <vector>

#include "qt_fixture.h"

namespace quillet::qttest {
namespace {

class EditBox : public QtFixture {
 protected:
  void SetUp() override {
    window = &makeWindow(0, 0, 300, 200);
    edit = &window->add<ui::EditBox>("文本便签超级编辑框");
    edit->setGeometry(0, 0, 280, 180);
    edit->onChanged = [this] { changes.push_back(edit->text()); };
  }
  QPlainTextEdit& shown() {
    return *static_cast<QPlainTextEdit*>(widget(*window).controlWidget(*edit));
  }
  void typeAtEnd(const QString& text) {
    shown().setFocus();
    shown().moveCursor(QTextCursor::End);
    QTest::keyClicks(&shown(), text);
  }

  ui::Window* window = nullptr;
  ui::EditBox* edit = nullptr;
  std::vector<std::string> changes;
};

TEST_F(EditBox, TypingChangesTheModelOnceAKeyAndTheEchoChangesNothing) {
  typeAtEnd("ab");
  EXPECT_EQ(edit->text(), "ab");
  EXPECT_EQ(changes, (std::vector<std::string>{"a", "ab"}));

  edit->setText("由程序写入");
  EXPECT_EQ(shown().toPlainText(), QString::fromUtf8("由程序写入"));
  EXPECT_EQ(changes.size(), 3u);
}

TEST_F(EditBox, UserEditsKeepTheModelsLineEndingsAndEveryCharacter) {
  struct Case {
    const char* what;
    std::string before;
    std::string after;
  };
  const Case cases[] = {
      {"Windows line ends", "一\r\n二", "一\r\n二!"},
      {"Unix line ends", "one\ntwo", "one\ntwo!"},
      {"lone carriage returns", "一\r二\r", "一\r二\r!"},
      {"mixed line ends", "a\r\nb\nc\rd", "a\r\nb\nc\rd!"},
      {"a paragraph separator", "a\u2029b", "a\u2029b!"},
      {"no-break space", "a\u00a0b", "a\u00a0b!"},
  };
  for (const auto& c : cases) {
    edit->setText(c.before);
    typeAtEnd("!");
    EXPECT_EQ(edit->text(), c.after) << c.what;
  }
}

TEST_F(EditBox, ANewLineTakesTheTextsOwnLineEnd_AndTheOthersStayAsTheyWere) {
  struct Case {
    const char* what;
    std::string before;
    std::string after;
  };
  const Case cases[] = {
      {"Unix", "a\nb", "a\nb\n"},
      {"Windows", "a\r\nb", "a\r\nb\r\n"},
      {"old Mac", "a\rb", "a\rb\r"},
      {"none yet", "ab", "ab\r\n"},
      {"mostly Unix", "a\nb\r\nc\n", "a\nb\r\nc\n\n"},
  };
  for (const auto& c : cases) {
    edit->setText(c.before);
    shown().setFocus();
    shown().moveCursor(QTextCursor::End);
    QTest::keyClick(&shown(), Qt::Key_Return);
    EXPECT_EQ(edit->text(), c.after) << c.what;
  }

  // Lines "a", "b", "c", "d": a new line after "c", before its CR LF, then
  // taken out again, then the CR LF joined away.
  edit->setText("a\nb\nc\r\nd");
  QTextCursor cursor = shown().textCursor();
  cursor.setPosition(5);
  shown().setTextCursor(cursor);
  QTest::keyClick(&shown(), Qt::Key_Return);
  EXPECT_EQ(edit->text(), "a\nb\nc\n\r\nd");
  QTest::keyClick(&shown(), Qt::Key_Backspace);
  EXPECT_EQ(edit->text(), "a\nb\nc\r\nd");
  QTest::keyClick(&shown(), Qt::Key_Delete);
  EXPECT_EQ(edit->text(), "a\nb\ncd");
}

TEST_F(EditBox, KeysReachTheBoxWhileItHasTheFocus) {
  std::vector<int> boxKeys, windowKeys;
  edit->onKeyDown = [&](int key, int) { boxKeys.push_back(key); };
  window->onKeyDown = [&](int key, int) { windowKeys.push_back(key); };
  shown().setFocus();
  QTest::keyClick(&shown(), Qt::Key_X);
  // Letters and digits the window binds to commands are text here.
  QTest::keyClick(&shown(), 'T', Qt::ShiftModifier);
  QTest::keyClick(&shown(), '3');
  QTest::keyClick(&shown(), Qt::Key_F5);  // not taken by the text box either
  EXPECT_EQ(boxKeys, (std::vector<int>{0x58, 0x10, 0x54, 0x33, 0x74}));
  EXPECT_TRUE(windowKeys.empty());
  EXPECT_EQ(edit->text(), "xT3");

  // Leaving note mode hides the box; the window must hear keys again.
  edit->setVisible(false);
  QTest::keyClick(&widget(*window), Qt::Key_F5);
  EXPECT_EQ(windowKeys, std::vector<int>{0x74});
}

TEST_F(EditBox, AWindowBecomingActiveKeepsItsKeys_OnlyAClickGivesThemToTheBox) {
  std::vector<int> boxKeys, windowKeys;
  edit->onKeyDown = [&](int key, int) { boxKeys.push_back(key); };
  window->onKeyDown = [&](int key, int) { windowKeys.push_back(key); };
  QWidget& frame = widget(*window);
  frame.clearFocus();
  frame.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
  QApplication::setActiveWindow(nullptr);
  QApplication::setActiveWindow(&frame);
  settle();
  EXPECT_NE(QApplication::focusWidget(), &shown());
  QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &frame, 'T');
  EXPECT_EQ(windowKeys, std::vector<int>{0x54});
  EXPECT_TRUE(boxKeys.empty());
  EXPECT_EQ(edit->text(), "");

  QTest::mouseClick(shown().viewport(), Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(QApplication::focusWidget(), &shown());
  QTest::keyClick(&shown(), 'T');
  EXPECT_EQ(edit->text(), "T");
}

}  // namespace
}  // namespace quillet::qttest
