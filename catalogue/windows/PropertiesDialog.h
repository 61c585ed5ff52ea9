#pragma once
// PropertiesDialog: a TV station's name, country, speed and player type, read
// back out of its entry text. Not modal; every use opens another one.

#include <gtkmm.h>

#include <string>

namespace telvanta {

class PropertiesDialog : public Gtk::Window {
 public:
  PropertiesDialog(Gtk::Window& owner, const std::string& entry, const std::string& url);

 protected:
  bool on_delete_event(GdkEventAny* event) override;

 private:
  // A group of its own: the list window, when shown modally, must not take
  // this window's input away.
  Glib::RefPtr<Gtk::WindowGroup> group_ = Gtk::WindowGroup::create();
  Gtk::Box content_{Gtk::ORIENTATION_VERTICAL, 8};
  Gtk::Notebook pages_;
  Gtk::Box generalPage_{Gtk::ORIENTATION_VERTICAL, 6};
  Gtk::Box headingRow_{Gtk::ORIENTATION_HORIZONTAL, 12};
  Gtk::Image mediaPicture_;
  Gtk::Image realPicture_;
  Gtk::Label heading_;
  Gtk::Separator divider_;
  Gtk::Label nameLine_;
  Gtk::Label countryLine_;
  Gtk::Label speedLine_;
  Gtk::Label typeLine_;
  Gtk::Button okButton_;
};

}  // namespace telvanta
