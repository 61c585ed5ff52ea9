#include "widgets/LinkLabel.h"

#include "platform/desktop/ShellOpen.h"
#include "widgets/WidgetSupport.h"

#include <cmath>

namespace telvanta {

namespace {

guint16 Channel(double value) { return static_cast<guint16>(std::lround(value * 65535.0)); }

}  // namespace

LinkLabel::LinkLabel(const Glib::ustring& caption) : label_(caption) {
  label_.set_xalign(0.0F);
  add(label_);
  add_events(Gdk::BUTTON_PRESS_MASK | Gdk::BUTTON_RELEASE_MASK | Gdk::ENTER_NOTIFY_MASK |
             Gdk::LEAVE_NOTIFY_MASK);
  Restyle();
}

void LinkLabel::SetCaption(const Glib::ustring& caption) {
  label_.set_text(caption);
  if (auto accessible = get_accessible()) {
    accessible->set_name(caption);  // heard as it reads
  }
}

void LinkLabel::SetHint(const std::string& hint) {
  hint_ = hint;
  set_tooltip_text(hint);
}

void LinkLabel::SetLabelType(TLabelType type) { labelType_ = type; }

void LinkLabel::SetURLColStd(const Gdk::RGBA& colour) {
  if (colour == colStd_) {
    return;
  }
  colStd_ = colour;
  fontColour_ = colour;
  Restyle();
}

void LinkLabel::SetURLColPre(const Gdk::RGBA& colour) { colPre_ = colour; }

void LinkLabel::SetEffect98(bool on) {
  if (on == effect98_) {
    return;
  }
  effect98_ = on;
  underlined_ = !on;
  Restyle();
}

bool LinkLabel::on_button_press_event(GdkEventButton* event) {
  if (event->type != GDK_BUTTON_PRESS) {
    return false;
  }
  pressed_ = event->button == 1;
  if (event->button == 1) {
    fontColour_ = colPre_;
    Restyle();
  }
  return false;
}

bool LinkLabel::on_button_release_event(GdkEventButton* event) {
  fontColour_ = colStd_;
  Restyle();
  const bool wasPressed = pressed_;
  pressed_ = false;
  const auto area = get_allocation();
  const bool inside =
      event->x >= 0 && event->y >= 0 && event->x < area.get_width() && event->y < area.get_height();
  if (event->button == 1 && wasPressed && inside) {
    Click();
  }
  return false;
}

bool LinkLabel::on_enter_notify_event(GdkEventCrossing* /*event*/) {
  if (effect98_) {
    fontColour_ = colPre_;
    underlined_ = true;
    Restyle();
  }
  return false;
}

bool LinkLabel::on_leave_notify_event(GdkEventCrossing* /*event*/) {
  if (effect98_) {
    fontColour_ = colStd_;
    underlined_ = false;
    Restyle();
  }
  return false;
}

void LinkLabel::on_realize() {
  Gtk::EventBox::on_realize();
  UseHandCursor(*this);
}

void LinkLabel::Click() {
  click_.emit();
  platform::ShellOpen(Address(), platform::ShowMode::Normal);
}

void LinkLabel::Restyle() {
  Pango::AttrList attributes;
  auto colour = Pango::Attribute::create_attr_foreground(Channel(fontColour_.get_red()),
                                                         Channel(fontColour_.get_green()),
                                                         Channel(fontColour_.get_blue()));
  attributes.insert(colour);
  if (underlined_) {
    auto underline = Pango::Attribute::create_attr_underline(Pango::UNDERLINE_SINGLE);
    attributes.insert(underline);
  }
  label_.set_attributes(attributes);
}

}  // namespace telvanta
