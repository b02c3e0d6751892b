#include "platform/ui/widgets.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "platform/image/picture.h"
#include "platform/ui/backend.h"

namespace quillet::ui {

namespace {

MenuItem* findIn(std::vector<MenuItem>& items, const std::string& caption) {
  for (auto& item : items) {
    if (!item.separator && item.caption == caption) return &item;
    if (auto* found = findIn(item.children, caption)) return found;
  }
  return nullptr;
}

}  // namespace

MenuItem* Menu::find(const std::string& caption) { return findIn(items, caption); }
const MenuItem* Menu::find(const std::string& caption) const {
  return findIn(const_cast<std::vector<MenuItem>&>(items), caption);
}

Control::Control(Window& owner, std::string name, Kind kind)
    : owner_(owner), name_(std::move(name)), kind_(kind) {}

void Control::changed(Change what) { owner_.notifyControl(*this, what); }

void Control::setLeft(int v) { setGeometry(v, top_, width_, height_); }
void Control::setTop(int v) { setGeometry(left_, v, width_, height_); }
void Control::setWidth(int v) { setGeometry(left_, top_, v, height_); }
void Control::setHeight(int v) { setGeometry(left_, top_, width_, v); }

void Control::setGeometry(int left, int top, int width, int height) {
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  changed(Change::Geometry);
}

void Control::setVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  changed(Change::Visible);
}

void Control::setFocus() { changed(Change::Focus); }

void Control::setEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  changed(Change::Enabled);
}

void Control::systemFocused(bool focus) {
  if (focus == focus_) return;
  focus_ = focus;
  auto handler = focus ? onFocusIn : onFocusOut;
  if (handler) handler();
}

Frame::Frame(Window& owner, std::string name) : Control(owner, std::move(name), Kind::Frame) {}

void Frame::setColour(std::uint32_t colour) {
  if (colour == colour_) return;
  colour_ = colour;
  changed(Change::Appearance);
}

Timer::Timer(Window& owner, std::string name) : Control(owner, std::move(name), Kind::Timer) {
  setVisible(false);
}

void Timer::setInterval(int milliseconds) {
  interval_ = milliseconds > 0 ? milliseconds : 0;
  changed(Change::Timing);
}

ProgressBar::ProgressBar(Window& owner, std::string name)
    : Control(owner, std::move(name), Kind::ProgressBar) {}

void ProgressBar::store(int minimum, int maximum, int position) {
  if (minimum == std::numeric_limits<int>::max()) --minimum;
  if (maximum <= minimum) maximum = minimum + 1;
  position = std::clamp(position, minimum, maximum);
  if (minimum == minimum_ && maximum == maximum_ && position == position_) return;
  minimum_ = minimum;
  maximum_ = maximum;
  position_ = position;
  changed(Change::Value);
}

void ProgressBar::setMinimum(int v) { store(v, maximum_, position_); }
void ProgressBar::setMaximum(int v) { store(minimum_, v, position_); }
void ProgressBar::setPosition(int v) { store(minimum_, maximum_, v); }

ComboBox::ComboBox(Window& owner, std::string name)
    : Control(owner, std::move(name), Kind::ComboBox) {}

void ComboBox::setText(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  changed(Change::Text);
}

void ComboBox::setItems(std::vector<std::string> items) {
  items_ = std::move(items);
  changed(Change::Items);
}

void ComboBox::userChose(std::size_t index) {
  if (index >= items_.size()) return;
  setText(items_[index]);
  if (onChoose) {
    auto handler = onChoose;
    handler();
  }
}

RadioButton::RadioButton(Window& owner, std::string name)
    : Control(owner, std::move(name), Kind::RadioButton) {}

void RadioButton::setCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  changed(Change::Text);
}

void RadioButton::setChecked(bool v) {
  if (v == checked_) return;
  checked_ = v;
  changed(Change::Value);
  if (!v) return;
  for (const auto& other : window().controls()) {
    if (other.get() == this || other->kind() != Kind::RadioButton || other->parent() != parent()) {
      continue;
    }
    static_cast<RadioButton&>(*other).setChecked(false);
  }
}

PictureBox::PictureBox(Window& owner, std::string name)
    : Control(owner, std::move(name), Kind::PictureBox) {}

void PictureBox::setPicture(PictureBytes bytes, std::string origin) {
  picture_ = std::move(bytes);
  origin_ = std::move(origin);
  problem_.clear();
  if (picture_) {
    auto size = image::readSize(*picture_);
    if (!size) problem_ = size.error;
  }
  changed(Change::Picture);
}

void PictureBox::clearPicture() {
  if (!picture_ && origin_.empty()) return;
  picture_.reset();
  origin_.clear();
  problem_.clear();
  changed(Change::Picture);
}

void PictureBox::setBorder(bool v) {
  if (v == border_) return;
  border_ = v;
  changed(Change::Appearance);
}

void PictureBox::setBackground(std::uint32_t colour) {
  if (colour == background_) return;
  background_ = colour;
  changed(Change::Appearance);
}

void PictureBox::setDisplayMode(int mode) {
  if (mode == displayMode_) return;
  displayMode_ = mode;
  changed(Change::Appearance);
}

EditBox::EditBox(Window& owner, std::string name)
    : Control(owner, std::move(name), Kind::EditBox) {}

void EditBox::setText(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  changed(Change::Text);
  if (onChanged) onChanged();
}

void EditBox::setReadOnly(bool v) {
  if (v == readOnly_) return;
  readOnly_ = v;
  changed(Change::Appearance);
}

void EditBox::setSingleLine(bool v) {
  if (v == singleLine_) return;
  singleLine_ = v;
  changed(Change::Appearance);
}

Button::Button(Window& owner, std::string name) : Control(owner, std::move(name), Kind::Button) {}

void Button::setCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  changed(Change::Text);
}

GroupBox::GroupBox(Window& owner, std::string name)
    : Control(owner, std::move(name), Kind::GroupBox) {}

void GroupBox::setCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  changed(Change::Text);
}

Label::Label(Window& owner, std::string name) : Control(owner, std::move(name), Kind::Label) {}

void Label::setBackdrop(bool v) {
  if (v == backdrop_) return;
  backdrop_ = v;
  changed(Change::Appearance);
}

void Label::setBackground(std::uint32_t colour) {
  const std::int64_t v = colour & 0xFFFFFF;
  if (v == background_) return;
  background_ = v;
  changed(Change::Appearance);
}

void Label::setFont(std::string family) {
  if (family == font_) return;
  font_ = std::move(family);
  changed(Change::Appearance);
}

void Label::setText(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  changed(Change::Text);
}

Slider::Slider(Window& owner, std::string name) : Control(owner, std::move(name), Kind::Slider) {}

void Slider::setOrientation(Orientation o) {
  if (o == orientation_) return;
  orientation_ = o;
  changed(Change::Appearance);
}

void Slider::setRange(int minimum, int maximum) {
  maximum = std::max(maximum, minimum);
  const int position = std::clamp(position_, minimum, maximum);
  if (minimum == minimum_ && maximum == maximum_ && position == position_) return;
  minimum_ = minimum;
  maximum_ = maximum;
  position_ = position;
  changed(Change::Value);
}

void Slider::setPosition(int v) {
  v = std::clamp(v, minimum_, maximum_);
  if (v == position_) return;
  position_ = v;
  changed(Change::Value);
}

void Slider::setSteps(int line, int page) {
  lineStep_ = std::max(line, 1);
  pageStep_ = std::max(page, 1);
  changed(Change::Value);
}

void Slider::userMoved(int position) {
  const int before = position_;
  setPosition(position);
  if (position_ != before && onChanged) {
    auto handler = onChanged;
    handler();
  }
}

void Slider::userPressed() {
  if (onPressed) {
    auto handler = onPressed;
    handler();
  }
}

ColourPicker::ColourPicker(Window& owner, std::string name)
    : Control(owner, std::move(name), Kind::ColourPicker) {}

void ColourPicker::setColour(std::uint32_t colour) {
  colour &= 0xFFFFFF;
  if (colour == colour_) return;
  colour_ = colour;
  changed(Change::Value);
}

void ColourPicker::userChose(std::uint32_t colour) {
  const std::uint32_t before = colour_;
  setColour(colour);
  if (colour_ != before && onChanged) {
    auto handler = onChanged;
    handler();
  }
}

CanvasBox::CanvasBox(Window& owner, std::string name)
    : Control(owner, std::move(name), Kind::Canvas) {}

void CanvasBox::showDamage(image::Rect area) {
  area = image::intersect(area, canvas_.bounds());
  if (area.empty()) return;
  damage_ = image::unite(damage_, area);
  changed(Change::Damage);
}

image::Rect CanvasBox::takeDamage() { return std::exchange(damage_, image::Rect{}); }

Window::Window(Backend& backend, std::string name, Window* owner)
    : backend_(backend), name_(std::move(name)), owner_(owner) {
  peer_ = backend_.createPeer(*this);
}

Window::~Window() = default;

// Each setter stores first and notifies the peer before running the handler,
// so a handler that reads the window sees the new value and a nested set from
// inside the handler reaches the screen in order.
void Window::setLeft(int v) { move(v, top_); }
void Window::setTop(int v) { move(left_, v); }

void Window::move(int left, int top) {
  if (left == left_ && top == top_) return;
  left_ = left;
  top_ = top;
  changed(Change::Geometry);
  if (onMoved) onMoved();
}

void Window::setWidth(int v) {
  if (v < 0) v = 0;
  if (v == width_) return;
  width_ = v;
  changed(Change::Geometry);
  if (onResized) onResized();
}

void Window::setHeight(int v) {
  if (v < 0) v = 0;
  if (v == height_) return;
  height_ = v;
  changed(Change::Geometry);
  if (onResized) onResized();
}

void Window::setVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  changed(Change::Visible);
}

void Window::setEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  changed(Change::Enabled);
}

void Window::setTitle(std::string title) {
  if (title == title_) return;
  title_ = std::move(title);
  changed(Change::Title);
}

void Window::setBorder(Border b) {
  if (b == border_) return;
  border_ = b;
  changed(Change::Style);
}

void Window::setTopmost(bool v) {
  if (v == topmost_) return;
  topmost_ = v;
  changed(Change::Style);
}

void Window::setExStyle(int style) {
  if (style == exStyle_) return;
  exStyle_ = style;
  changed(Change::Style);
}

void Window::setAlpha(int alpha) {
  if (alpha < 0) alpha = 0;
  if (alpha > 255) alpha = 255;
  if (alpha == alpha_) return;
  alpha_ = alpha;
  changed(Change::Alpha);
}

void Window::setFreeMove(bool v) { freeMove_ = v; }

void Window::setFocus() {
  focus_ = true;
  changed(Change::Focus);
}

void Window::setFace(std::string name) {
  face_ = std::move(name);
  changed(Change::Appearance);
}

void Window::setColour(std::uint32_t colour) {
  if (colour_ == colour) return;
  colour_ = colour;
  changed(Change::Appearance);
}

void Window::setBackgroundPicture(PictureBytes picture) {
  backgroundPicture_ = std::move(picture);
  changed(Change::Picture);
}

Control* Window::find(const std::string& name) const {
  for (const auto& c : controls_) {
    if (c->name() == name) return c.get();
  }
  return nullptr;
}

void Window::popupMenu(const Menu& menu) {
  const MenuItem* chosen = backend_.popupMenu(*this, menu);
  if (chosen && chosen->action) {
    // The action may rebuild or destroy this very window; copy it first.
    auto action = chosen->action;
    action();
  }
}

void Window::systemMoved(int left, int top) {
  if (left == left_ && top == top_) return;
  left_ = left;
  top_ = top;
  if (onMoved) onMoved();
}

void Window::systemResized(int width, int height) {
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  if (onResized) onResized();
}

void Window::systemFocused(bool focus) { focus_ = focus; }

void Window::systemVisible(bool visible) { visible_ = visible; }

}  // namespace quillet::ui
