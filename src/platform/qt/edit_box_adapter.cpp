#include <QtGui/QKeyEvent>
#include <QtGui/QTextDocument>

#include <string>
#include <utility>

#include "platform/qt/control_adapter.h"
#include "platform/qt/edit_widget.h"
#include "platform/qt/key_map.h"

namespace quillet::qtui {

namespace {

class EditBoxAdapter : public AdapterFor<ui::EditBox, EditWidget> {
 public:
  EditBoxAdapter(ui::Control& control, QWidget* container, ControlHost& host)
      : AdapterFor(control, new EditWidget(container)), host_(host) {
    ui::EditBox& box = model();
    // Only a click hands the box the keyboard. A window that comes back
    // active without a focus widget (a frame added re-creates it) would
    // otherwise give its keys to the first box it holds, and shortcuts
    // meant for the window would be typed into it.
    view()->setFocusPolicy(Qt::ClickFocus);
    view()->onUserEdit = [&host, &box](std::string text) {
      host.runForModel([&] { box.userEdited(std::move(text)); });
    };
  }

  // The text area inside the frame is a widget of its own and gets the mouse.
  void routeInputTo(QObject* filter) override {
    ControlAdapter::routeInputTo(filter);
    view()->viewport()->installEventFilter(filter);
  }
  bool receives(const QObject* object) const override {
    return object == view() || object == view()->viewport();
  }
  // The box still needs its clicks to place the cursor and select, and the
  // wheel to scroll.
  bool keepsInput() const override { return true; }

  void keyPressed(const QKeyEvent& event) override {
    const int code = virtualKey(describeKey(event));
    if (code == 0) return;
    const int modifiers = modifierSum(event.modifiers());
    ui::EditBox& box = model();
    host_.runForModel([&] { callHandler(box.onKeyDown, code, modifiers); });
  }

 protected:
  void mirrorContent(ui::Change what) override {
    if (what == ui::Change::Text) view()->showText(model().text());
    if (what == ui::Change::Appearance) {
      view()->setReadOnly(model().readOnly());
      showAsOneLine(model().singleLine());
    }
  }

 private:
  // Scroll bars in a box one line high would cover the whole of it and take
  // the clicks meant for the text.
  void showAsOneLine(bool oneLine) {
    EditWidget& box = *view();
    const Qt::ScrollBarPolicy bars = oneLine ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded;
    box.setHorizontalScrollBarPolicy(bars);
    box.setVerticalScrollBarPolicy(bars);
    box.setLineWrapMode(oneLine ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
    box.document()->setDocumentMargin(oneLine ? 0 : 4);
    box.setFrameShape(oneLine ? QFrame::Box : QFrame::StyledPanel);
    box.setLineWidth(1);
    if (oneLine) {
      QFont font = box.font();
      font.setPixelSize(11);
      box.setFont(font);
    }
  }

  ControlHost& host_;
};

}  // namespace

std::unique_ptr<ControlAdapter> makeEditBoxAdapter(ui::Control& control, QWidget* container,
                                                   ControlHost& host) {
  return std::make_unique<EditBoxAdapter>(control, container, host);
}

}  // namespace quillet::qtui
