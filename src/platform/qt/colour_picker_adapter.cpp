#include <QtGui/QFocusEvent>
#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtWidgets/QColorDialog>

#include <functional>

#include "platform/qt/control_adapter.h"

namespace quillet::qtui {

namespace {

// A swatch of the model's colour that opens the colour dialog when clicked
// or when Space or Enter is pressed on it.
class Swatch : public QWidget {
 public:
  Swatch(QWidget* parent, ControlHost& host) : QWidget(parent), host_(host) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
  }

  void setColour(QColor colour) {
    if (colour == colour_) return;
    colour_ = colour;
    update();
  }
  bool asking() const { return asking_; }

  // Called with the colour the user chose in the dialog, while the model
  // window is still there.
  std::function<void(QColor)> onChosen;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QPalette& colours = palette();
    QColor fill = colour_;
    // Greyed with its window: half of the colour, half of the window's ground.
    if (!isEnabled()) {
      const QColor ground = colours.color(QPalette::Window);
      fill = QColor((fill.red() + ground.red()) / 2, (fill.green() + ground.green()) / 2,
                    (fill.blue() + ground.blue()) / 2);
    }
    painter.fillRect(rect(), colours.color(QPalette::Mid));
    painter.fillRect(rect().adjusted(2, 2, -2, -2), fill);
    if (hasFocus()) {
      painter.setPen(QPen(colours.color(QPalette::Highlight), 1, Qt::DotLine));
      painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
  }

  // The dotted frame shows where the keyboard is.
  void focusInEvent(QFocusEvent* event) override {
    QWidget::focusInEvent(event);
    update();
  }
  void focusOutEvent(QFocusEvent* event) override {
    QWidget::focusOutEvent(event);
    update();
  }

  void mousePressEvent(QMouseEvent* event) override {
    pressed_ = event->button() == Qt::LeftButton;
    // The focus policy gives the swatch the keyboard on the press.
    QWidget::mousePressEvent(event);
  }

  void mouseReleaseEvent(QMouseEvent* event) override {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton) pressed_ = false;
    if (click) ask();
  }

  void keyPressEvent(QKeyEvent* event) override {
    const int key = event->key();
    if (!event->isAutoRepeat() &&
        (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
      ask();
      return;
    }
    QWidget::keyPressEvent(event);
  }

 private:
  // The window is kept alive while the dialog runs: the dialog is its child.
  void ask() {
    if (asking_) return;
    host_.runForModel([this] {
      setFocus(Qt::OtherFocusReason);
      asking_ = true;
      QColorDialog dialog(colour_, window());
      dialog.setOption(QColorDialog::DontUseNativeDialog);
      const bool accepted = dialog.exec() == QDialog::Accepted;
      const QColor chosen = dialog.selectedColor();
      asking_ = false;
      // The dialog had the keyboard; it comes back to the swatch, which never
      // reported losing it.
      if (isVisible()) {
        window()->activateWindow();
        setFocus(Qt::OtherFocusReason);
      }
      if (!accepted || !chosen.isValid() || !onChosen) return;
      host_.runForModel([this, chosen] { onChosen(chosen); });
    });
  }

  QColor colour_ = Qt::black;
  ControlHost& host_;
  bool pressed_ = false;
  bool asking_ = false;
};

std::uint32_t toModelColour(QColor colour) {
  return static_cast<std::uint32_t>(colour.red()) |
         static_cast<std::uint32_t>(colour.green()) << 8 |
         static_cast<std::uint32_t>(colour.blue()) << 16;
}

class ColourPickerAdapter : public AdapterFor<ui::ColourPicker, Swatch> {
 public:
  ColourPickerAdapter(ui::Control& control, QWidget* container, ControlHost& host)
      : AdapterFor(control, new Swatch(container, host)) {
    ui::ColourPicker& picker = model();
    view()->onChosen = [&picker](QColor colour) { picker.userChose(toModelColour(colour)); };
  }

  // The swatch needs its own clicks, and a press on it is never a window drag.
  bool keepsInput() const override { return true; }
  bool usesWheel() const override { return false; }
  bool leavesKeysToWindow() const override { return true; }
  // While its dialog is open the picker still counts as having the keyboard.
  bool holdsFocus() const override { return view()->asking(); }

 protected:
  void mirrorContent(ui::Change what) override {
    if (what == ui::Change::Value) view()->setColour(fromModelColour(model().colour()));
  }
};

}  // namespace

std::unique_ptr<ControlAdapter> makeColourPickerAdapter(ui::Control& control, QWidget* container,
                                                        ControlHost& host) {
  return std::make_unique<ColourPickerAdapter>(control, container, host);
}

}  // namespace quillet::qtui
