#pragma once

#include <QtCore/QString>

class QPrinter;

namespace quillet::qtui {

// Prints `text` as plain text on `printer`: markup stays as typed, CR LF, LF
// and CR each end a line, long lines wrap to the page width, and the pages
// follow one another as the text needs; only the pages chosen on the printer
// are printed. False when nothing could be printed.
bool printPlainText(QPrinter& printer, const QString& text);

// As printPlainText, written as a PDF file at `path` with `title` as the
// document's name.
bool printPlainTextToPdf(const QString& path, const QString& title, const QString& text);

}  // namespace quillet::qtui
