#pragma once

#include <QtWidgets/QPlainTextEdit>

#include <functional>
#include <string>

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

  bool applying_ = false;
  // Texts read from files written on Windows end lines with CR LF; edits keep
  // whichever convention the model's text uses, so saving does not rewrite it.
  bool crlf_ = false;
};

}  // namespace quillet::qtui
