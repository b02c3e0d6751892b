#include <QtGui/QFontMetrics>
#include <QtGui/QPalette>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>

#include <algorithm>

#include "platform/qt/control_adapter.h"

namespace quillet::qtui {

namespace {

// Light enough for black text, thin enough to keep the picture in sight.
const QColor kBackdrop(255, 255, 255, 215);
constexpr int kSmallestPixels = 7;

// A label that, laid over a picture, shrinks its font until all of its text
// fits: an overlay on a small window still shows every line.
class OverlayLabel : public QLabel {
 public:
  explicit OverlayLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setMouseTracking(true);
  }

  void setOverlay(bool overlay) {
    overlay_ = overlay;
    setAutoFillBackground(overlay);
    if (overlay) {
      QPalette colours = palette();
      colours.setColor(QPalette::Window, kBackdrop);
      colours.setColor(QPalette::WindowText, Qt::black);
      setPalette(colours);
      setContentsMargins(3, 1, 3, 1);
    } else {
      setPalette(QPalette());
      setContentsMargins(0, 0, 0, 0);
    }
    fit();
  }

  void showText(const QString& text) {
    setText(text);
    fit();
  }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QLabel::resizeEvent(event);
    fit();
  }

 private:
  void fit() {
    QFont font = QApplication::font(this);
    if (overlay_) {
      const QRect area = contentsRect();
      const int largest = QFontInfo(font).pixelSize();
      for (int pixels = largest; pixels >= kSmallestPixels; --pixels) {
        font.setPixelSize(pixels);
        const QRect needed = QFontMetrics(font).boundingRect(
            QRect(0, 0, std::max(area.width(), 1), 1 << 20), Qt::TextWordWrap, text());
        if (needed.height() <= area.height() && needed.width() <= area.width()) break;
      }
    }
    if (font != this->font()) setFont(font);
  }

  bool overlay_ = false;
};

class LabelAdapter : public AdapterFor<ui::Label, OverlayLabel> {
 public:
  LabelAdapter(ui::Control& control, QWidget* container)
      : AdapterFor(control, new OverlayLabel(container)) {}

 protected:
  void mirrorContent(ui::Change what) override {
    if (what == ui::Change::Appearance) {
      view()->setOverlay(model().backdrop());
    } else if (what == ui::Change::Text) {
      view()->showText(QString::fromStdString(model().text())
                           .replace(QLatin1String("\r\n"), QLatin1String("\n")));
    }
  }
};

}  // namespace

std::unique_ptr<ControlAdapter> makeLabelAdapter(ui::Control& control, QWidget* container,
                                                 ControlHost&) {
  return std::make_unique<LabelAdapter>(control, container);
}

}  // namespace quillet::qtui
