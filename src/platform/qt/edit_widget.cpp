#include "platform/qt/edit_widget.h"

#include <QtGui/QTextBlock>
#include <QtGui/QTextCursor>
#include <QtGui/QTextDocument>

#include <algorithm>
#include <map>

namespace quillet::qtui {

namespace {

// What the text document turns into a paragraph break when it is given
// plain text: CR LF, LF, CR, the paragraph separator and the frame marks.
int lineEndAt(const QString& text, qsizetype i) {
  const QChar c = text.at(i);
  if (c == QLatin1Char('\r')) {
    return i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n') ? 2 : 1;
  }
  if (c == QLatin1Char('\n') || c == QChar::ParagraphSeparator || c == QChar(0xFDD0) ||
      c == QChar(0xFDD1)) {
    return 1;
  }
  return 0;
}

int breaksIn(const QString& text, qsizetype from, qsizetype to) {
  return static_cast<int>(std::count(text.begin() + from, text.begin() + to, QLatin1Char('\n')));
}

}  // namespace

EditWidget::EditWidget(QWidget* parent) : QPlainTextEdit(parent) {
  setMouseTracking(true);
  viewport()->setMouseTracking(true);
  connect(document(), &QTextDocument::contentsChange, this, [this](int position, int, int) {
    if (applying_) return;
    editFrom_ = editFrom_ < 0 ? position : std::min(editFrom_, position);
  });
  connect(this, &QPlainTextEdit::textChanged, this, [this] {
    if (applying_) return;
    const QString shown = shownText();
    followEdit(shown);
    if (!onUserEdit) return;
    auto report = onUserEdit;
    report(toModelText(shown));
  });
}

// toPlainText() would turn no-break spaces into spaces; the raw text keeps
// every character and only marks paragraph ends.
QString EditWidget::shownText() const {
  QString text = document()->toRawText();
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  return text;
}

// Outside the edit the text is as it was, and so are its line ends; the line
// ends inside it are new ones.
void EditWidget::followEdit(const QString& shown) {
  const QString& old = lastShown_;
  const qsizetype from =
      std::min({static_cast<qsizetype>(std::max(editFrom_, 0)), old.size(), shown.size()});
  editFrom_ = -1;
  qsizetype same = 0;
  const qsizetype most = std::min(old.size(), shown.size()) - from;
  while (same < most && old.at(old.size() - 1 - same) == shown.at(shown.size() - 1 - same)) ++same;
  const int before = breaksIn(old, 0, from);
  const int removed = breaksIn(old, from, old.size() - same);
  const int added = breaksIn(shown, from, shown.size() - same);
  if (static_cast<std::size_t>(before + removed) > lineEnds_.size()) {
    lineEnds_.resize(static_cast<std::size_t>(before + removed), newLineEnd_);
  }
  auto first = lineEnds_.begin() + before;
  lineEnds_.erase(first, first + removed);
  lineEnds_.insert(lineEnds_.begin() + before, static_cast<std::size_t>(added), newLineEnd_);
  lastShown_ = shown;
}

std::string EditWidget::toModelText(const QString& shown) const {
  QString text;
  text.reserve(shown.size() + static_cast<qsizetype>(lineEnds_.size()));
  std::size_t line = 0;
  for (QChar c : shown) {
    if (c != QLatin1Char('\n')) {
      text += c;
    } else {
      text += line < lineEnds_.size() ? lineEnds_[line] : newLineEnd_;
      ++line;
    }
  }
  return text.toStdString();
}

void EditWidget::showText(const std::string& modelText) {
  const QString model = QString::fromStdString(modelText);
  QString text;
  text.reserve(model.size());
  lineEnds_.clear();
  std::map<QString, int> uses;
  for (qsizetype i = 0; i < model.size();) {
    const int end = lineEndAt(model, i);
    if (end == 0) {
      text += model.at(i++);
      continue;
    }
    lineEnds_.push_back(model.mid(i, end));
    ++uses[lineEnds_.back()];
    text += QLatin1Char('\n');
    i += end;
  }
  // A new line follows the text's own habit; CR LF, as on Windows, when the
  // text has no line end yet or no habit wins.
  newLineEnd_ = QStringLiteral("\r\n");
  int most = uses[newLineEnd_];
  for (const auto& [end, count] : uses) {
    if (count > most) {
      newLineEnd_ = end;
      most = count;
    }
  }
  lastShown_ = text;
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
