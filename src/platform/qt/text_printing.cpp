#include "platform/qt/text_printing.h"

#include <QtCore/QList>
#include <QtGui/QAbstractTextDocumentLayout>
#include <QtGui/QFont>
#include <QtGui/QPageRanges>
#include <QtGui/QPainter>
#include <QtGui/QTextDocument>
#include <QtGui/QTextOption>
#include <QtPrintSupport/QPrinter>

namespace quillet::qtui {

namespace {

constexpr qreal kPointSize = 11;
// Used when the printer leaves no margin of its own, as a PDF file does.
constexpr qreal kMarginMm = 15;

QFont noteFont() {
  QFont font;
  // Notes are mostly Chinese, so a face that covers Han and Latin in one
  // design; without any of these fontconfig still finds a face per glyph. The
  // monospaced one first: columns typed with spaces stay lined up, and in a
  // PDF its Latin digits can still be searched and copied, which the
  // proportional face's substituted figures cannot.
  font.setFamilies({QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                    QStringLiteral("Source Han Sans SC"), QStringLiteral("WenQuanYi Zen Hei Mono"),
                    QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Microsoft YaHei"),
                    QStringLiteral("SimSun")});
  font.setStyleHint(QFont::TypeWriter);
  font.setPointSizeF(kPointSize);
  return font;
}

}  // namespace

bool printPlainText(QPrinter& printer, const QString& text) {
  if (printer.pageLayout().margins(QPageLayout::Millimeter).isNull()) {
    printer.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                           QPageLayout::Millimeter);
  }

  QTextDocument document;
  document.setDocumentMargin(0);
  document.setDefaultFont(noteFont());
  QTextOption option = document.defaultTextOption();
  // A web address longer than the line breaks anywhere rather than run off the paper.
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  document.setDefaultTextOption(option);
  // Laid out in the printer's own units, so the point size is the size on paper.
  document.documentLayout()->setPaintDevice(&printer);
  // Takes CR LF, LF and CR alike as one line end, and never reads markup.
  document.setPlainText(text);
  const QSizeF page(printer.width(), printer.height());
  document.setPageSize(page);

  // The dialog may ask for pages such as "1-2,5"; none asked for means all.
  const QPageRanges chosen = printer.pageRanges();
  QList<int> numbers;
  for (int number = 1; number <= document.pageCount(); ++number) {
    if (chosen.isEmpty() || chosen.contains(number)) numbers.append(number);
  }
  if (numbers.isEmpty()) return false;

  QPainter painter;
  if (!painter.begin(&printer)) return false;
  for (int number : numbers) {
    if (number != numbers.first() && !printer.newPage()) return false;
    const QRectF slice(0, (number - 1) * page.height(), page.width(), page.height());
    painter.save();
    painter.translate(0, -slice.top());
    painter.setClipRect(slice);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = slice;
    // Paper is white whatever the screen's colour scheme.
    context.palette.setColor(QPalette::Text, Qt::black);
    document.documentLayout()->draw(&painter, context);
    painter.restore();
  }
  return painter.end() && printer.printerState() != QPrinter::Error;
}

bool printPlainTextToPdf(const QString& path, const QString& title, const QString& text) {
  QPrinter printer(QPrinter::HighResolution);
  // Whatever the file is called: without this, a name not ending in ".pdf"
  // would send the job to the system's printer.
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  printer.setDocName(title);
  return printPlainText(printer, text);
}

}  // namespace quillet::qtui
