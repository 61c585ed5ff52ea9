#pragma once
// LinkLabel: a label that looks like a web link and opens the address in its
// hint when clicked (or activated from the keyboard, see ClickLabel).
//
// Its colours are style sheet rules of its own, below the skin's: blue at
// rest and red while pressed unless set otherwise, and whatever a skin gives
// "label.link" (and "label.link:active") when it gives a colour.

#include "common/Links.h"
#include "widgets/ClickLabel.h"

#include <gtkmm.h>

#include <string>

namespace telvanta {

class LinkLabel : public ClickLabel {
 public:
  explicit LinkLabel(const Glib::ustring& caption = {});

  void SetCaption(const Glib::ustring& caption);
  Glib::ustring Caption() const { return label().get_text(); }
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

  // The colour the caption is drawn in now, a skin's included.
  Gdk::RGBA FontColour() const;
  bool Underlined() const { return underlined_; }
  // What a click opens.
  std::string Address() const { return UrlLabelAddress(labelType_, hint_); }

  // The click event (signal_clicked), then the address is opened.
  void Activate() override;

 protected:
  bool on_enter_notify_event(GdkEventCrossing* event) override;
  bool on_leave_notify_event(GdkEventCrossing* event) override;

 private:
  void Restyle();

  std::string hint_;
  TLabelType labelType_ = TLabelType::hmHTTP;
  Gdk::RGBA colStd_{"#0000FF"};
  Gdk::RGBA colPre_{"#FF0000"};
  bool effect98_ = false;
  bool underlined_ = true;
  Glib::RefPtr<Gtk::CssProvider> colours_ = Gtk::CssProvider::create();
};

}  // namespace telvanta
