#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>

#include <algorithm>
#include <string>

#include "platform/qt/control_adapter.h"

namespace quillet::qtui {

namespace {

class ComboBoxAdapter : public AdapterFor<ui::ComboBox, QComboBox> {
 public:
  ComboBoxAdapter(ui::Control& control, QWidget* container, ControlHost& host)
      : AdapterFor(control, new QComboBox(container)) {
    QComboBox* box = view();
    box->setEditable(true);
    // What the user types is the text, as typed: nothing completed into it,
    // nothing added to the list on Return.
    box->setCompleter(nullptr);
    box->setInsertPolicy(QComboBox::NoInsert);
    ui::ComboBox& combo = model();
    // textEdited, unlike textChanged, is the user's alone: the program's own
    // texts and the entries the list puts in never come back as edits.
    QObject::connect(box->lineEdit(), &QLineEdit::textEdited, box,
                     [&host, &combo](const QString& text) {
                       host.runForModel([&] { combo.userEdited(text.toStdString()); });
                     });
    QObject::connect(box, &QComboBox::activated, box, [&host, &combo](int index) {
      if (index < 0) return;
      host.runForModel([&] { combo.userChose(static_cast<std::size_t>(index)); });
    });
  }

  // The text field inside the box is a widget of its own and gets the mouse.
  void routeInputTo(QObject* filter) override {
    ControlAdapter::routeInputTo(filter);
    view()->lineEdit()->installEventFilter(filter);
  }
  bool receives(const QObject* object) const override {
    return object == view() || object == view()->lineEdit();
  }
  // It needs its clicks to place the cursor and open the list.
  bool keepsInput() const override { return true; }

 protected:
  void mirrorContent(ui::Change what) override {
    if (what == ui::Change::Items) {
      QStringList entries;
      for (const std::string& item : model().items()) entries << QString::fromStdString(item);
      view()->clear();
      view()->addItems(entries);
      // Filling the list shows its first entry; the text stays the model's.
      showText();
    } else if (what == ui::Change::Text) {
      showText();
    }
  }

 private:
  // The program rewrites the text while the user may be typing in it: the
  // cursor stays where the user put it (at the end when it was there), and a
  // selection of the whole text stays whole.
  void showText() {
    QLineEdit* edit = view()->lineEdit();
    const QString text = QString::fromStdString(model().text());
    if (edit->text() == text) return;
    const bool wholeSelected = edit->hasSelectedText() && edit->selectedText() == edit->text();
    const bool atEnd = edit->cursorPosition() == edit->text().size();
    const int cursor = edit->cursorPosition();
    edit->setText(text);
    if (wholeSelected) {
      edit->selectAll();
    } else {
      edit->setCursorPosition(atEnd ? static_cast<int>(text.size())
                                    : std::min(cursor, static_cast<int>(text.size())));
    }
  }
};

}  // namespace

std::unique_ptr<ControlAdapter> makeComboBoxAdapter(ui::Control& control, QWidget* container,
                                                    ControlHost& host) {
  return std::make_unique<ComboBoxAdapter>(control, container, host);
}

}  // namespace quillet::qtui
