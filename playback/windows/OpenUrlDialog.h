#pragma once
// OpenUrlDialog: plays a typed address or path. Not modal; each "Open URL..."
// makes a new one, and several may be open at once.

#include "playback/PlayTarget.h"
#include "widgets/WidgetSupport.h"

#include <gtkmm.h>

#include <functional>

namespace telvanta {

class OpenUrlDialog : public Gtk::Window {
 public:
  OpenUrlDialog(Gtk::Window& owner, PlayTarget& main);

  void TeButton1Click();  // OK
  void TeButton2Click();  // Cancel
  void Image1DblClick();

  // What a double-click on the picture opens (the list export tools).
  std::function<void(OpenUrlDialog&)> OnOpenTools;

  Gtk::Fixed Layout;
  Gtk::EventBox Image1Box;
  Gtk::Image Image1;
  Gtk::Label Label1;
  Gtk::Label Label2;
  Gtk::Entry TeEdit1;
  Gtk::Button TeButton1;
  Gtk::Button TeButton2;

 protected:
  bool on_delete_event(GdkEventAny* event) override;

 private:
  PlayTarget& main_;
};

}  // namespace telvanta
