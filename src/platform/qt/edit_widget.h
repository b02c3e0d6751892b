#pragma once

#include <QtWidgets/QPlainTextEdit>

#include <functional>
#include <string>
#include <vector>

namespace quillet::qtui {

// A multi-line text box that reports what the user types and only that: the
// echo of a text the model set is not reported back.
class EditWidget : public QPlainTextEdit {
 public:
  explicit EditWidget(QWidget* parent);

  // Shows the model's text; keeps the cursor where it was when it still fits.
  void showText(const std::string& modelText);

  // Called with the whole text after each user edit, in the model's line endings.
  std::function<void(std::string)> onUserEdit;

 private:
  QString shownText() const;
  std::string toModelText(const QString& shown) const;
  void followEdit(const QString& shown);

  bool applying_ = false;
  // The box shows every line end as a paragraph break, whatever it was. A
  // note written on Windows, on Unix or by hand mixes CR LF, LF and CR, and
  // saving it must give each line end back as it came: here is the one
  // after each line shown, and the one a typed new line takes.
  std::vector<QString> lineEnds_;
  QString newLineEnd_ = QStringLiteral("\r\n");
  // What was shown before the edit in progress, and where the edit starts.
  QString lastShown_;
  int editFrom_ = -1;
};

}  // namespace quillet::qtui
