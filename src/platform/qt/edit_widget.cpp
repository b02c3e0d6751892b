#include "platform/qt/edit_widget.h"

#include <QtGui/QTextBlock>
#include <QtGui/QTextCursor>
#include <QtGui/QTextDocument>

#include <algorithm>

namespace quillet::qtui {

EditWidget::EditWidget(QWidget* parent) : QPlainTextEdit(parent) {
  setMouseTracking(true);
  viewport()->setMouseTracking(true);
  connect(this, &QPlainTextEdit::textChanged, this, [this] {
    if (applying_ || !onUserEdit) return;
    auto report = onUserEdit;
    report(toModelText(shownText()));
  });
}

// toPlainText() would turn no-break spaces into spaces; the raw text keeps
// every character and only marks paragraph ends.
QString EditWidget::shownText() const {
  QString text = document()->toRawText();
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  return text;
}

std::string EditWidget::toModelText(const QString& shown) const {
  if (!crlf_) return shown.toStdString();
  QString text = shown;
  text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
  return text.toStdString();
}

void EditWidget::showText(const std::string& modelText) {
  QString text = QString::fromStdString(modelText);
  if (text.contains(QLatin1String("\r\n"))) {
    crlf_ = true;
  } else if (text.contains(QLatin1Char('\n'))) {
    crlf_ = false;
  }
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  if (text == shownText()) return;
  const int position = textCursor().position();
  applying_ = true;
  setPlainText(text);
  applying_ = false;
  QTextCursor cursor = textCursor();
  cursor.setPosition(std::min(position, document()->characterCount() - 1));
  setTextCursor(cursor);
}

}  // namespace quillet::qtui
