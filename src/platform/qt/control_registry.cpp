#include <QtWidgets/QWidget>

#include <array>

#include "platform/qt/control_adapter.h"

namespace quillet::qtui {

// Each defined in the file named after its adapter.
std::unique_ptr<ControlAdapter> makePictureBoxAdapter(ui::Control&, QWidget*, ControlHost&);
std::unique_ptr<ControlAdapter> makeEditBoxAdapter(ui::Control&, QWidget*, ControlHost&);
std::unique_ptr<ControlAdapter> makeLabelAdapter(ui::Control&, QWidget*, ControlHost&);
std::unique_ptr<ControlAdapter> makeButtonAdapter(ui::Control&, QWidget*, ControlHost&);
std::unique_ptr<ControlAdapter> makeGroupBoxAdapter(ui::Control&, QWidget*, ControlHost&);
std::unique_ptr<ControlAdapter> makeFrameAdapter(ui::Control&, QWidget*, ControlHost&);
std::unique_ptr<ControlAdapter> makeTimerAdapter(ui::Control&, QWidget*, ControlHost&);
std::unique_ptr<ControlAdapter> makeProgressBarAdapter(ui::Control&, QWidget*, ControlHost&);
std::unique_ptr<ControlAdapter> makeComboBoxAdapter(ui::Control&, QWidget*, ControlHost&);
std::unique_ptr<ControlAdapter> makeRadioButtonAdapter(ui::Control&, QWidget*, ControlHost&);
std::unique_ptr<ControlAdapter> makeSliderAdapter(ui::Control&, QWidget*, ControlHost&);
std::unique_ptr<ControlAdapter> makeColourPickerAdapter(ui::Control&, QWidget*, ControlHost&);
std::unique_ptr<ControlAdapter> makeCanvasAdapter(ui::Control&, QWidget*, ControlHost&);

namespace {

using Kind = ui::Control::Kind;
using Factory = std::unique_ptr<ControlAdapter> (*)(ui::Control&, QWidget*, ControlHost&);

struct Registration {
  Kind kind;
  Factory make;
};

constexpr std::array kRegistry{
    Registration{Kind::PictureBox, &makePictureBoxAdapter},
    Registration{Kind::EditBox, &makeEditBoxAdapter},
    Registration{Kind::Label, &makeLabelAdapter},
    Registration{Kind::Button, &makeButtonAdapter},
    Registration{Kind::GroupBox, &makeGroupBoxAdapter},
    Registration{Kind::Frame, &makeFrameAdapter},
    Registration{Kind::Timer, &makeTimerAdapter},
    Registration{Kind::ProgressBar, &makeProgressBarAdapter},
    Registration{Kind::ComboBox, &makeComboBoxAdapter},
    Registration{Kind::RadioButton, &makeRadioButtonAdapter},
    Registration{Kind::Slider, &makeSliderAdapter},
    Registration{Kind::ColourPicker, &makeColourPickerAdapter},
    Registration{Kind::Canvas, &makeCanvasAdapter},
};

}  // namespace

std::unique_ptr<ControlAdapter> makeControlAdapter(ui::Control& control, QWidget* container,
                                                   ControlHost& host) {
  for (const auto& registration : kRegistry) {
    if (registration.kind == control.kind()) return registration.make(control, container, host);
  }
  return nullptr;
}

}  // namespace quillet::qtui
