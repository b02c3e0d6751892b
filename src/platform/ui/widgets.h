#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/image/canvas.h"
#include "platform/ui/menu.h"

namespace quillet::ui {

class Window;
class Backend;

// Bytes of a picture file as files hold them (JPEG or BMP). Shared so that a
// picture box, the state record and a cache can hold the same bytes cheaply.
using PictureBytes = std::shared_ptr<const std::vector<std::uint8_t>>;

// What changed on a model object; tells a backend peer what to mirror.
enum class Change {
  Geometry,
  Visible,
  Title,
  Style,
  Alpha,
  Picture,
  Text,
  Focus,
  Appearance,
  // A timer's interval was set (which restarts it), or a list's entries changed.
  Timing,
  Items,
  // A progress bar's or a slider's range or position, a radio button's
  // state, a colour picker's colour.
  Value,
  // Whether the control or window takes input.
  Enabled,
  // Part of a canvas was drawn on: the backend repaints what takeDamage() says.
  Damage,
};

// Every kind of change, so that a peer showing a new object whole can go
// through them all and cannot miss one added later.
inline constexpr std::array kChanges{
    Change::Geometry, Change::Visible, Change::Title,   Change::Style,      Change::Alpha,
    Change::Picture,  Change::Text,    Change::Focus,   Change::Appearance, Change::Timing,
    Change::Items,    Change::Value,   Change::Enabled, Change::Damage};
static_assert(kChanges.size() == static_cast<std::size_t>(Change::Damage) + 1,
              "kChanges lists every Change");

using MouseHandler = std::function<void(int x, int y, int modifiers)>;
using KeyHandler = std::function<void(int key, int modifiers)>;
using WheelHandler = std::function<void(int distance, int modifiers)>;

class Control {
 public:
  enum class Kind {
    PictureBox,
    EditBox,
    Label,
    Button,
    GroupBox,
    Frame,
    Timer,
    ProgressBar,
    ComboBox,
    RadioButton,
    Slider,
    ColourPicker,
    Canvas
  };

  Control(Window& owner, std::string name, Kind kind);
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& name() const { return name_; }
  Kind kind() const { return kind_; }
  Window& window() const { return owner_; }
  // The control this one sits in (a group box), or nullptr for the window
  // itself; left and top are relative to it.
  Control* parent() const { return parent_; }
  void setParent(Control* parent) { parent_ = parent; }

  int left() const { return left_; }
  int top() const { return top_; }
  int width() const { return width_; }
  int height() const { return height_; }
  bool visible() const { return visible_; }
  void setLeft(int v);
  void setTop(int v);
  void setWidth(int v);
  void setHeight(int v);
  void setGeometry(int left, int top, int width, int height);
  void setVisible(bool v);
  // A disabled control is shown greyed and takes no input.
  bool enabled() const { return enabled_; }
  void setEnabled(bool v);
  // The keyboard goes to this control (and its window comes forward); to its
  // window, for a control that takes no keys.
  void setFocus();
  bool hasFocus() const { return focus_; }

  // Mouse input over the control, in its own coordinates.
  MouseHandler onLeftDown, onLeftUp, onRightDown, onRightUp, onMouseMove, onDoubleClick;
  WheelHandler onWheel;
  // The control got or lost the keyboard.
  std::function<void()> onFocusIn, onFocusOut;
  // The window system moved the keyboard to or away from the control.
  void systemFocused(bool focus);

 protected:
  void changed(Change what);

 private:
  Window& owner_;
  Control* parent_ = nullptr;
  std::string name_;
  Kind kind_;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  bool focus_ = false;
};

// Draws its picture, scaled to its own size or unscaled (see displayMode).
class PictureBox : public Control {
 public:
  PictureBox(Window& owner, std::string name);

  const PictureBytes& picture() const { return picture_; }
  // `origin` names where the bytes came from (a file path), so that a
  // picture that cannot be shown can say which one it is.
  void setPicture(PictureBytes bytes, std::string origin = {});
  void clearPicture();
  const std::string& origin() const { return origin_; }

  // Why the picture cannot be shown, read from its header; empty when it can
  // (or when there is no picture). A decoder may still fail later on the body.
  const std::string& problem() const { return problem_; }

  bool border() const { return border_; }
  void setBorder(bool v);
  std::uint32_t background() const { return background_; }  // 0x00BBGGRR
  void setBackground(std::uint32_t colour);
  // 1: the picture stretched to the box; 0: unscaled, one picture pixel to
  // one pixel of the screen, from the box's top-left corner.
  int displayMode() const { return displayMode_; }
  void setDisplayMode(int mode);

 private:
  PictureBytes picture_;
  std::string origin_;
  std::string problem_;
  bool border_ = false;
  std::uint32_t background_ = 0;
  int displayMode_ = 1;
};

// One- or multi-line text box; setting its text runs its change handler.
class EditBox : public Control {
 public:
  EditBox(Window& owner, std::string name);
  const std::string& text() const { return text_; }
  void setText(std::string text);
  // The user typed: same rule as a programmatic change.
  void userEdited(std::string text) { setText(std::move(text)); }
  std::function<void()> onChanged;
  KeyHandler onKeyDown;
  bool readOnly() const { return readOnly_; }
  void setReadOnly(bool v);
  // A box for one short value (a number): no scroll bars and no margins, so
  // that a box a line high shows its text and takes its clicks.
  bool singleLine() const { return singleLine_; }
  void setSingleLine(bool v);

 private:
  std::string text_;
  bool readOnly_ = false;
  bool singleLine_ = false;
};

class Label : public Control {
 public:
  Label(Window& owner, std::string name);
  const std::string& text() const { return text_; }
  void setText(std::string text);
  // A label laid over a picture gets a light, see-through backdrop, so its
  // text stays readable on a dark picture as on a light one.
  bool backdrop() const { return backdrop_; }
  void setBackdrop(bool v);
  // The colour behind the text (0x00BBGGRR); -1 for none, the window's own.
  std::int64_t background() const { return background_; }
  void setBackground(std::uint32_t colour);
  // A font family for the text; empty for the system's.
  const std::string& font() const { return font_; }
  void setFont(std::string family);

 private:
  std::string text_;
  bool backdrop_ = false;
  std::int64_t background_ = -1;
  std::string font_;
};

class Button : public Control {
 public:
  Button(Window& owner, std::string name);
  const std::string& caption() const { return caption_; }
  void setCaption(std::string caption);
  // The user clicked the button (or the window system pressed it).
  void click() {
    if (onClick) {
      auto handler = onClick;
      handler();
    }
  }
  std::function<void()> onClick;

 private:
  std::string caption_;
};

// Ticks every `interval` milliseconds while the interval is above 0. Setting
// an interval, even the same one, starts the count again; 0 stops it. Never
// seen on screen.
class Timer : public Control {
 public:
  Timer(Window& owner, std::string name);
  int interval() const { return interval_; }
  void setInterval(int milliseconds);
  // Called by the backend when the interval has passed.
  void tick() {
    if (onTick) {
      auto handler = onTick;
      handler();
    }
  }
  std::function<void()> onTick;

 private:
  int interval_ = 0;
};

// A bar filled in proportion to the position between minimum and maximum.
// Like the bars of most toolkits it keeps its position inside its range, and
// a range always holds at least one step.
class ProgressBar : public Control {
 public:
  ProgressBar(Window& owner, std::string name);
  int minimum() const { return minimum_; }
  int maximum() const { return maximum_; }
  int position() const { return position_; }
  void setMinimum(int v);
  // A maximum not above the minimum is taken as the minimum + 1.
  void setMaximum(int v);
  // A position outside the range is taken as the nearest end.
  void setPosition(int v);

 private:
  void store(int minimum, int maximum, int position);
  int minimum_ = 0, maximum_ = 100, position_ = 0;
};

// An editable box with a drop-down list of entries.
class ComboBox : public Control {
 public:
  ComboBox(Window& owner, std::string name);
  const std::string& text() const { return text_; }
  void setText(std::string text);
  const std::vector<std::string>& items() const { return items_; }
  void setItems(std::vector<std::string> items);
  // The user typed into the box.
  void userEdited(std::string text) { setText(std::move(text)); }
  // The user chose an entry of the list: it becomes the text, then onChoose runs.
  void userChose(std::size_t index);
  std::function<void()> onChoose;

 private:
  std::string text_;
  std::vector<std::string> items_;
};

// One of the radio buttons that share a parent control: checking one
// unchecks the others.
class RadioButton : public Control {
 public:
  RadioButton(Window& owner, std::string name);
  const std::string& caption() const { return caption_; }
  void setCaption(std::string caption);
  bool checked() const { return checked_; }
  void setChecked(bool v);
  // The user clicked it.
  void userChecked() { setChecked(true); }

 private:
  std::string caption_;
  bool checked_ = false;
};

// A rectangle filled with one colour; its child controls sit inside it and
// are cut off at its edges.
class Frame : public Control {
 public:
  Frame(Window& owner, std::string name);
  std::uint32_t colour() const { return colour_; }  // 0x00BBGGRR
  void setColour(std::uint32_t colour);

 private:
  std::uint32_t colour_ = 0xFFFFFF;
};

class GroupBox : public Control {
 public:
  GroupBox(Window& owner, std::string name);
  const std::string& caption() const { return caption_; }
  void setCaption(std::string caption);

 private:
  std::string caption_;
};

// A handle sliding along a groove, horizontal or vertical, over a range of
// whole numbers. Setting the position runs no handler: only the user's moves
// do, as with the sliders of most toolkits driven from code.
class Slider : public Control {
 public:
  enum class Orientation { Horizontal, Vertical };
  Slider(Window& owner, std::string name);

  Orientation orientation() const { return orientation_; }
  void setOrientation(Orientation o);
  int minimum() const { return minimum_; }
  int maximum() const { return maximum_; }
  // A maximum below the minimum is taken as the minimum; the position is
  // kept inside the range.
  void setRange(int minimum, int maximum);
  int position() const { return position_; }
  // A position outside the range is taken as the nearest end.
  void setPosition(int v);
  // How far an arrow key and a click in the groove move the handle.
  int lineStep() const { return lineStep_; }
  int pageStep() const { return pageStep_; }
  void setSteps(int line, int page);

  // The user moved the handle (dragging it, a key, a click in the groove, the
  // wheel): the position is taken as setPosition does, then onChanged runs
  // when it changed.
  void userMoved(int position);
  // The user pressed the left button on the slider, before any move.
  void userPressed();
  std::function<void()> onChanged, onPressed;

 private:
  Orientation orientation_ = Orientation::Horizontal;
  int minimum_ = 0, maximum_ = 100, position_ = 0;
  int lineStep_ = 1, pageStep_ = 10;
};

// A swatch of one colour; clicking it lets the user choose another in the
// system's colour dialog.
class ColourPicker : public Control {
 public:
  ColourPicker(Window& owner, std::string name);
  std::uint32_t colour() const { return colour_; }  // 0x00BBGGRR
  // Runs no handler.
  void setColour(std::uint32_t colour);
  // The user chose `colour`: it is taken, then onChanged runs when it changed.
  void userChose(std::uint32_t colour);
  std::function<void()> onChanged;

 private:
  std::uint32_t colour_ = 0x000000;
};

// A drawing surface: the raster lives in the model, so the behaviour draws
// and reads pixels without a toolkit; the backend shows it and repaints the
// parts reported through showDamage().
class CanvasBox : public Control {
 public:
  CanvasBox(Window& owner, std::string name);
  image::Canvas& canvas() { return canvas_; }
  const image::Canvas& canvas() const { return canvas_; }
  // The raster changed inside `area` (canvas pixels); an empty one is ignored.
  void showDamage(image::Rect area);
  // What changed since the last call, for the backend to repaint.
  image::Rect takeDamage();
  // A key pressed while the canvas has the keyboard.
  KeyHandler onKeyDown;

 private:
  image::Canvas canvas_;
  image::Rect damage_;
};

// Mirrors one model window onto the window system. Called after the model
// has changed; never calls back into the model for the same change.
class WindowPeer {
 public:
  virtual ~WindowPeer() = default;
  // Called after a window property changed.
  virtual void windowChanged(Change what) = 0;
  // Called after a property of one of the window's controls changed.
  virtual void controlChanged(Control& control, Change what) = 0;
  // Called after a control was added to the window.
  virtual void controlAdded(Control& control) = 0;
};

class Window {
 public:
  enum class Border { None, Sizable };
  static constexpr int kLayeredBit = 0x80000;
  static constexpr int kTransparentBit = 0x20;

  // An owned window stays above its owner, takes input while its owner runs
  // modally, and must be destroyed no later than its owner.
  Window(Backend& backend, std::string name, Window* owner = nullptr);
  ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  const std::string& name() const { return name_; }
  Backend& backend() const { return backend_; }
  Window* owner() const { return owner_; }

  int left() const { return left_; }
  int top() const { return top_; }
  int width() const { return width_; }
  int height() const { return height_; }
  // Setting a different value runs the moved or resized handler before the
  // setter returns; setting the same value runs nothing.
  void setLeft(int v);
  void setTop(int v);
  void setWidth(int v);
  void setHeight(int v);
  void move(int left, int top);

  bool visible() const { return visible_; }
  void setVisible(bool v);
  // A disabled window takes no input, its controls none either.
  bool enabled() const { return enabled_; }
  void setEnabled(bool v);
  const std::string& title() const { return title_; }
  void setTitle(std::string title);
  Border border() const { return border_; }
  void setBorder(Border b);
  bool topmost() const { return topmost_; }
  void setTopmost(bool v);
  // Extended style integer: layered bit means `alpha` is the opacity,
  // transparent bit means the mouse passes through.
  int exStyle() const { return exStyle_; }
  void setExStyle(int style);
  int alpha() const { return alpha_; }
  void setAlpha(int alpha);
  // Whether pressing anywhere in the window and dragging moves it.
  bool freeMove() const { return freeMove_; }
  void setFreeMove(bool v);
  bool hasFocus() const { return focus_; }
  void setFocus();
  // The colour of the window's own area (0x00BBGGRR); -1 for the system's.
  std::int64_t colour() const { return colour_; }
  void setColour(std::uint32_t colour);
  // A face picture filling the window (the host window's red dot).
  const std::string& face() const { return face_; }
  void setFace(std::string name);
  // A picture file (BMP or JPEG) drawn unscaled, one picture pixel to one
  // pixel of the screen, from the window's top-left corner, under its
  // controls; nullptr for none.
  const PictureBytes& backgroundPicture() const { return backgroundPicture_; }
  void setBackgroundPicture(PictureBytes picture);

  template <class T>
  T& add(const std::string& name, Control* parent = nullptr) {
    auto control = std::make_unique<T>(*this, name);
    control->setParent(parent);
    T& ref = *control;
    controls_.push_back(std::move(control));
    if (peer_) peer_->controlAdded(ref);
    return ref;
  }
  Control* find(const std::string& name) const;
  template <class T>
  T& get(const std::string& name) const {
    return dynamic_cast<T&>(*find(name));
  }
  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }

  Menu& menu() { return menu_; }
  // Shows `menu` at the pointer and runs the chosen item's action.
  void popupMenu(const Menu& menu);

  // Handlers bound by the behaviour.
  std::function<void()> onMoved, onResized, onDestroying;
  // The window system asked to close the window (a close button, a window
  // manager's close keystroke); nothing happens unless the behaviour acts.
  std::function<void()> onCloseRequest;
  KeyHandler onKeyDown, onKeyUp;
  WheelHandler onWheel;
  // Files dropped onto the window, as full paths; a window without the
  // handler takes no drops.
  std::function<void(const std::vector<std::string>& paths)> onFilesDropped;
  // Mouse input on the window's own area (not over a control), in its coordinates.
  MouseHandler onRightDown, onDoubleClick, onLeftDown, onLeftUp, onMouseMove;

  // The window system or the user changed something; runs the same handlers.
  void systemMoved(int left, int top);
  void systemResized(int width, int height);
  void systemFocused(bool focus);
  void systemVisible(bool visible);

  WindowPeer* peer() const { return peer_.get(); }
  void attachPeer(std::unique_ptr<WindowPeer> peer) { peer_ = std::move(peer); }
  void notifyControl(Control& c, Change what) {
    if (peer_) peer_->controlChanged(c, what);
  }

 private:
  void changed(Change what) {
    if (peer_) peer_->windowChanged(what);
  }

  Backend& backend_;
  std::string name_;
  Window* owner_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = false;
  bool enabled_ = true;
  std::string title_;
  Border border_ = Border::None;
  bool topmost_ = false;
  int exStyle_ = 0;
  int alpha_ = 255;
  bool freeMove_ = false;
  bool focus_ = false;
  std::string face_;
  std::int64_t colour_ = -1;
  PictureBytes backgroundPicture_;
  std::vector<std::unique_ptr<Control>> controls_;
  Menu menu_;
  std::unique_ptr<WindowPeer> peer_;
};

}  // namespace quillet::ui
