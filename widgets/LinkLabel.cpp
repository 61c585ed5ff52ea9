#include "widgets/LinkLabel.h"

#include "platform/desktop/ShellOpen.h"

namespace telvanta {

namespace {

// Above the windows' own sheets, below a skin's.
constexpr guint LinkColourPriority = GTK_STYLE_PROVIDER_PRIORITY_APPLICATION;

}  // namespace

LinkLabel::LinkLabel(const Glib::ustring& caption)
    : Glib::ObjectBase("TelvantaLinkLabel"), ClickLabel(caption) {
  add_events(Gdk::ENTER_NOTIFY_MASK | Gdk::LEAVE_NOTIFY_MASK);
  label().get_style_context()->add_class("link");
  label().get_style_context()->add_provider(colours_, LinkColourPriority);
  Restyle();
}

void LinkLabel::SetCaption(const Glib::ustring& caption) {
  label().set_text(caption);
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
  if (colour != colStd_) {
    colStd_ = colour;
    Restyle();
  }
}

void LinkLabel::SetURLColPre(const Gdk::RGBA& colour) {
  if (colour != colPre_) {
    colPre_ = colour;
    Restyle();
  }
}

void LinkLabel::SetEffect98(bool on) {
  if (on == effect98_) {
    return;
  }
  effect98_ = on;
  underlined_ = !on;
  Restyle();
}

Gdk::RGBA LinkLabel::FontColour() const {
  return label().get_style_context()->get_color(label().get_state_flags());
}

bool LinkLabel::on_enter_notify_event(GdkEventCrossing* /*event*/) {
  if (effect98_) {
    label().set_state_flags(Gtk::STATE_FLAG_PRELIGHT, false);
    underlined_ = true;
    Restyle();
  }
  return false;
}

bool LinkLabel::on_leave_notify_event(GdkEventCrossing* /*event*/) {
  if (effect98_) {
    label().unset_state_flags(Gtk::STATE_FLAG_PRELIGHT);
    underlined_ = false;
    Restyle();
  }
  return false;
}

void LinkLabel::Activate() {
  ClickLabel::Activate();
  platform::ShellOpen(Address(), platform::ShowMode::Normal);
}

void LinkLabel::Restyle() {
  std::string css = "label.link { color: " + colStd_.to_string() + "; }\n" +
                    "label.link:active { color: " + colPre_.to_string() + "; }\n";
  if (effect98_) {
    css += "label.link:hover { color: " + colPre_.to_string() + "; }\n";
  }
  colours_->load_from_data(css);
  Pango::AttrList attributes;
  if (underlined_) {
    auto underline = Pango::Attribute::create_attr_underline(Pango::UNDERLINE_SINGLE);
    attributes.insert(underline);
  }
  label().set_attributes(attributes);
}

}  // namespace telvanta
