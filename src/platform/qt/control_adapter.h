#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/ui/widgets.h"

class QColor;
class QKeyEvent;
class QObject;
class QWidget;

namespace quillet::qtui {

// Handlers are copied before they run: a handler may rebind or destroy the
// very object that holds it.
template <class Handler, class... Args>
void callHandler(const Handler& handler, Args... args) {
  if (!handler) return;
  Handler copy = handler;
  copy(args...);
}

// A model colour, written 0x00BBGGRR.
QColor fromModelColour(std::uint32_t colour);

// What a control's widget needs from the window it sits in.
class ControlHost {
 public:
  // Runs `work` on the model's behalf, unless the model window is gone; the
  // window stays alive while it runs, whatever the work does to the model.
  virtual void runForModel(const std::function<void()>& work) = 0;

 protected:
  ~ControlHost() = default;
};

// Shows one model control as a Qt widget and says how input over it is shared
// between the model and the widget. One subclass per control kind.
class ControlAdapter {
 public:
  ControlAdapter(ui::Control& control, QWidget* widget) : control_(control), widget_(widget) {}
  virtual ~ControlAdapter() = default;
  ControlAdapter(const ControlAdapter&) = delete;
  ControlAdapter& operator=(const ControlAdapter&) = delete;

  ui::Control& control() const { return control_; }
  QWidget* widget() const { return widget_; }

  // Called after a property of the model control changed.
  void mirror(ui::Change what);
  // Called once, when the widget has just been made, to show all the model holds.
  void mirrorAll();

  // Called once the widget exists; installs `filter` on every object that
  // receives the control's input.
  virtual void routeInputTo(QObject* filter);
  // Whether input sent to `object` is input to this control.
  virtual bool receives(const QObject* object) const;
  // Whether the model control's mouse handlers run; false for a widget that
  // reports clicks in its own way.
  virtual bool reportsMouse() const { return true; }
  // Whether the widget still needs the mouse and the wheel once the model has
  // had them; a press on such a widget is the widget's, never a window drag.
  virtual bool keepsInput() const { return false; }
  // Whether the widget turns the wheel into something of its own (scrolling,
  // a move) when the model control has no wheel handler; otherwise the wheel
  // goes to the window's.
  virtual bool usesWheel() const { return keepsInput(); }
  // Called for a key pressed while the widget has the focus, before the
  // widget itself handles it; for a control that takesWindowKeys(), also for
  // a key pressed while its window has the focus itself.
  virtual void keyPressed(const QKeyEvent& event);
  // Whether the keys the focused widget leaves alone go on to the window's
  // handler; a text box's are its own.
  virtual bool leavesKeysToWindow() const { return false; }
  // Whether the control takes the keys pressed while its window, rather than
  // a control in it, has the focus.
  virtual bool takesWindowKeys() const { return false; }
  // Whether the control keeps counting as focused while Qt moves the focus
  // away (to a dialog of its own).
  virtual bool holdsFocus() const { return false; }

 protected:
  // Called for every change other than place and visibility, which are alike
  // for all kinds.
  virtual void mirrorContent(ui::Change what) = 0;

 private:
  void takeFocus();

  ui::Control& control_;
  QWidget* widget_;
};

// An adapter that knows the model type and the widget type it pairs.
template <class Model, class View>
class AdapterFor : public ControlAdapter {
 public:
  AdapterFor(ui::Control& control, View* view)
      : ControlAdapter(control, view), model_(dynamic_cast<Model&>(control)), view_(view) {}

 protected:
  Model& model() const { return model_; }
  View* view() const { return view_; }

 private:
  Model& model_;
  View* view_;
};

// Makes the adapter for `control`, its widget created inside `container`;
// nullptr for a kind no adapter is registered for.
std::unique_ptr<ControlAdapter> makeControlAdapter(ui::Control& control, QWidget* container,
                                                   ControlHost& host);

}  // namespace quillet::qtui
