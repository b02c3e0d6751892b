#include <QtGui/QFontMetrics>
#include <QtGui/QPalette>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>

#include <algorithm>
#include <cstdint>

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

  // `background` is a model colour, or -1 for the window's own ground; an
  // empty `family` is the system's font.
  void setLook(bool overlay, std::int64_t background, const QString& family) {
    overlay_ = overlay;
    family_ = family;
    QPalette colours;
    if (overlay) {
      colours.setColor(QPalette::Window, kBackdrop);
      colours.setColor(QPalette::WindowText, Qt::black);
    }
    if (background >= 0) {
      colours.setColor(QPalette::Window, fromModelColour(static_cast<std::uint32_t>(background)));
    }
    setPalette(colours);
    setAutoFillBackground(overlay || background >= 0);
    if (overlay) {
      setContentsMargins(3, 1, 3, 1);
    } else {
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
    // A family this system lacks ("宋体" on most) is matched to the nearest
    // one it has, through fontconfig where there is one.
    if (!family_.isEmpty()) font.setFamily(family_);
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
  QString family_;
};

class LabelAdapter : public AdapterFor<ui::Label, OverlayLabel> {
 public:
  LabelAdapter(ui::Control& control, QWidget* container)
      : AdapterFor(control, new OverlayLabel(container)) {}

 protected:
  void mirrorContent(ui::Change what) override {
    if (what == ui::Change::Appearance) {
      const ui::Label& label = model();
      view()->setLook(label.backdrop(), label.background(), QString::fromStdString(label.font()));
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
