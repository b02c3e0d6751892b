#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QRegularExpression>
#include <QtCore/QStandardPaths>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtGui/QPageRanges>
#include <QtPrintSupport/QPrintDialog>
#include <QtPrintSupport/QPrinter>
#include <QtWidgets/QApplication>

#include <optional>

#include "platform/qt/text_printing.h"
#include "qt_fixture.h"

namespace quillet::qttest {
namespace {

// What poppler reads back from a printed file: one string per page in reading
// order, NFKC-normalised because it may answer 二 with its radical form ⼆.
std::optional<QStringList> pagesOf(const QString& pdf) {
  QProcess process;
  process.start("pdftotext", {"-layout", "-enc", "UTF-8", pdf, "-"});
  if (!process.waitForFinished(30000) || process.exitCode() != 0) return std::nullopt;
  QStringList pages = QString::fromUtf8(process.readAllStandardOutput())
                          .normalized(QString::NormalizationForm_KC)
                          .split(u'\f');
  pages.removeLast();  // after the last form feed
  return pages;
}

// The page's lines, spaces between words evened out, trailing blank lines gone.
QStringList linesOf(const QString& page) {
  QStringList lines;
  for (const QString& line : page.split(u'\n')) lines.append(line.simplified());
  while (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  return lines;
}

QString withoutSpaces(QString text) {
  text.remove(QRegularExpression(QStringLiteral("\\s")));
  return text;
}

// A long paragraph, an address wider than the page, then numbered lines ended
// in turn by CR LF, LF and CR.
QString longNote(int lines) {
  QString text;
  for (int i = 1; i <= 60; ++i) text += QStringLiteral("词%1 word%1 ").arg(i);
  text += QStringLiteral("\nhttps://example.org/?q=");
  for (int i = 0; i < 40; ++i) text += QStringLiteral("%1abcd").arg(i);
  const char* ends[] = {"\r\n", "\n", "\r"};
  for (int i = 1; i <= lines; ++i) {
    text += QString::fromUtf8(ends[i % 3]) + QStringLiteral("第%1行 line %1 <p>").arg(i);
  }
  return text;
}

class Printing : public QtFixture {
 protected:
  void SetUp() override {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) {
      GTEST_SKIP() << "pdftotext (poppler-utils) is needed to read printed pages back";
    }
    ASSERT_TRUE(folder.isValid());
  }

  QStringList print(const QString& text) {
    const QString pdf = folder.filePath(QStringLiteral("note%1.pdf").arg(++printed_));
    EXPECT_TRUE(qtui::printPlainTextToPdf(pdf, QStringLiteral("笔记"), text));
    return pagesOf(pdf).value_or(QStringList{});
  }

  QTemporaryDir folder;

 private:
  int printed_ = 0;
};

TEST_F(Printing, EveryKindOfLineEndStartsOneLine_AndMarkupPrintsAsTyped) {
  struct Case {
    const char* text;
    QStringList lines;
  };
  const Case cases[] = {
      {"第一行 笔记\r\n第二行 ABC\nthird\rfourth",
       {"第一行 笔记", "第二行 ABC", "third", "fourth"}},
      {"上\r\n\r\n中\n\n下\r\r末", {"上", "", "中", "", "下", "", "末"}},
      {"<b>粗</b> &amp; <i>x</i>\n<br><table>", {"<b>粗</b> &amp; <i>x</i>", "<br><table>"}},
      {"一二三四五六七八九十", {"一二三四五六七八九十"}},
  };
  for (const Case& c : cases) {
    const QStringList pages = print(QString::fromUtf8(c.text));
    ASSERT_EQ(pages.size(), 1) << c.text;
    EXPECT_EQ(linesOf(pages[0]).join(u'\n').toStdString(), c.lines.join(u'\n').toStdString());
  }
}

TEST_F(Printing, LongTextWrapsToThePage_AndRunsOnOverAsManyPagesAsItNeeds) {
  const QString note = longNote(150);
  const QStringList pages = print(note);
  ASSERT_GT(pages.size(), 1);
  // Nothing lost at a line's wrap or a page's foot, nothing printed twice.
  EXPECT_EQ(withoutSpaces(pages.join(QString())).toStdString(), withoutSpaces(note).toStdString());
  EXPECT_GT(linesOf(pages[0]).indexOf(QStringLiteral("第1行 line 1 <p>")), 1)
      << "the long paragraph should take several lines";

  EXPECT_GT(print(longNote(450)).size(), pages.size());
  EXPECT_EQ(print(QStringLiteral("short")).size(), 1);
}

TEST_F(Printing, OnlyTheChosenPagesPrint_AndPagesPastTheEndAreAFailure) {
  const QString note = longNote(150);
  const QStringList all = print(note);
  ASSERT_GE(all.size(), 3);

  const QString pdf = folder.filePath("range.pdf");
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(pdf);
  QPageRanges firstAndThird;
  firstAndThird.addPage(1);
  firstAndThird.addPage(3);
  printer.setPageRanges(firstAndThird);
  ASSERT_TRUE(qtui::printPlainText(printer, note));
  EXPECT_EQ(pagesOf(pdf), QStringList({all[0], all[2]}));

  const int past = static_cast<int>(all.size()) + 1;
  printer.setFromTo(past, past + 1);
  EXPECT_FALSE(qtui::printPlainText(printer, note));
}

// Sets an environment variable for one test; absent again afterwards.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const QString& value) : name_(name) {
    qputenv(name, value.toUtf8());
  }
  ~ScopedVariable() { qunsetenv(name_); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* name_;
};

class PrintThroughBackend : public QtFixture {
 protected:
  void SetUp() override { ASSERT_TRUE(folder.isValid()); }

  // Closes any dialog still open after a while, so a wrong turn fails
  // instead of hanging.
  void closeDialogsLater(int ms) {
    QTimer::singleShot(ms, &guard, [] {
      if (QWidget* dialog = QApplication::activeModalWidget()) {
        ADD_FAILURE() << "a dialog stayed open";
        dialog->close();
      }
    });
  }

  QTemporaryDir folder;
  // Owns the test's timers, so none fires once the test is over.
  QObject guard;
};

TEST_F(PrintThroughBackend, VariableNamingAFile_PrintsThereWithoutAsking) {
  if (QStandardPaths::findExecutable("pdftotext").isEmpty()) {
    GTEST_SKIP() << "pdftotext (poppler-utils) is needed to read printed pages back";
  }
  ui::Window& window = makeWindow();
  // No ".pdf": the variable alone says what to write.
  const QString out = folder.filePath("printed.out");
  ScopedVariable variable("QUILLET_PRINT_TO_PDF", out);
  closeDialogsLater(3000);

  ASSERT_TRUE(backend.printText(&window, "我的笔记", "第一行 笔记\r\n第二行 ABC\nthird"));
  QFile file(out);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.read(5) == "%PDF-");
  const QStringList pages = pagesOf(out).value_or(QStringList{});
  ASSERT_EQ(pages.size(), 1);
  EXPECT_EQ(linesOf(pages[0]).join(u'\n').toStdString(), "第一行 笔记\n第二行 ABC\nthird");

  QProcess info;
  info.start("pdfinfo", {out});
  if (info.waitForFinished(30000)) {
    EXPECT_TRUE(QString::fromUtf8(info.readAllStandardOutput())
                    .contains(QRegularExpression(QStringLiteral("^Title:\\s+我的笔记$"),
                                                 QRegularExpression::MultilineOption)));
  }
}

TEST_F(PrintThroughBackend, AFileThatCannotBeWritten_IsAFailure) {
  ui::Window& window = makeWindow();
  const QString unwritable = folder.filePath("missing/printed.pdf");
  ScopedVariable variable("QUILLET_PRINT_TO_PDF", unwritable);
  closeDialogsLater(3000);

  EXPECT_FALSE(backend.printText(&window, "我的笔记", "text"));
  EXPECT_FALSE(qtui::printPlainTextToPdf(unwritable, "我的笔记", "text"));
}

TEST_F(PrintThroughBackend, DialogBelongsToTheOwnerWindow_AndCancellingPrintsNothing) {
  ui::Window& window = makeWindow();
  QWidget* owner = &widget(window);
  bool asked = false;
  QTimer::singleShot(0, &guard, [&] {
    auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    asked = true;
    EXPECT_EQ(dialog->parentWidget(), owner);
    dialog->reject();
  });
  closeDialogsLater(5000);

  EXPECT_FALSE(backend.printText(&window, "笔记", "text"));
  EXPECT_TRUE(asked);
}

}  // namespace
}  // namespace quillet::qttest
