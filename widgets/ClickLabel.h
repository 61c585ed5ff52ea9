#pragma once
// ClickLabel: a label that works as a link. The left button clicks it, and
// so do Enter and Space once Tab has given it the focus; assistive
// technologies see the link role with a "click" action. While the left
// button is down the label is :active.

#include <glibmm/extraclassinit.h>
#include <gtkmm.h>

namespace telvanta {

// Gives the type the link's accessible object.
class ClickLabelClassInit : public Glib::ExtraClassInit {
 protected:
  ClickLabelClassInit();
};

class ClickLabel : public ClickLabelClassInit, public Gtk::EventBox {
 public:
  // A class deriving from this one names its own type the same way
  // (Glib::ObjectBase("...") first in its constructor), or assistive
  // technologies see a plain event box.
  explicit ClickLabel(const Glib::ustring& text = {});

  Gtk::Label& label() { return label_; }
  const Gtk::Label& label() const { return label_; }
  // Emitted by a click, Enter, Space or the accessible action.
  sigc::signal<void()>& signal_clicked() { return clicked_; }
  // What each of those does.
  virtual void Activate();

 protected:
  bool on_button_press_event(GdkEventButton* event) override;
  bool on_button_release_event(GdkEventButton* event) override;
  bool on_key_press_event(GdkEventKey* event) override;
  bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;
  void on_realize() override;

 private:
  void SetPressed(bool pressed);

  Gtk::Label label_;
  sigc::signal<void()> clicked_;
  bool pressed_ = false;
};

}  // namespace telvanta
