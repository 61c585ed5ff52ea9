#pragma once
// LinkLabel: a label that looks like a web link and opens the address in its
// hint when clicked.

#include "common/Links.h"

#include <gtkmm.h>

#include <string>

namespace telvanta {

class LinkLabel : public Gtk::EventBox {
 public:
  explicit LinkLabel(const Glib::ustring& caption = {});

  void SetCaption(const Glib::ustring& caption);
  Glib::ustring Caption() const { return label_.get_text(); }
  // The address without its prefix; also the tool tip.
  void SetHint(const std::string& hint);
  const std::string& Hint() const { return hint_; }

  TLabelType LabelType() const { return labelType_; }
  void SetLabelType(TLabelType type);
  const Gdk::RGBA& URLColStd() const { return colStd_; }
  void SetURLColStd(const Gdk::RGBA& colour);
  const Gdk::RGBA& URLColPre() const { return colPre_; }
  void SetURLColPre(const Gdk::RGBA& colour);
  bool Effect98() const { return effect98_; }
  void SetEffect98(bool on);

  // The colour the caption is drawn in now.
  const Gdk::RGBA& FontColour() const { return fontColour_; }
  bool Underlined() const { return underlined_; }
  // What a click opens.
  std::string Address() const { return UrlLabelAddress(labelType_, hint_); }
  // Emitted on a click, before the address is opened.
  sigc::signal<void()>& signal_click() { return click_; }

 protected:
  bool on_button_press_event(GdkEventButton* event) override;
  bool on_button_release_event(GdkEventButton* event) override;
  bool on_enter_notify_event(GdkEventCrossing* event) override;
  bool on_leave_notify_event(GdkEventCrossing* event) override;
  void on_realize() override;

 private:
  void Click();
  void Restyle();

  Gtk::Label label_;
  std::string hint_;
  TLabelType labelType_ = TLabelType::hmHTTP;
  Gdk::RGBA colStd_{"#0000FF"};
  Gdk::RGBA colPre_{"#FF0000"};
  bool effect98_ = false;
  Gdk::RGBA fontColour_{"#0000FF"};
  bool underlined_ = true;
  bool pressed_ = false;
  sigc::signal<void()> click_;
};

}  // namespace telvanta
