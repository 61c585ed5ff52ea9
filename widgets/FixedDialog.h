#pragma once
// A small window over its owner: centred on the screen, not resizable, its
// controls placed on a fixed layout of the client size. Closing it (Escape and
// Ctrl+W too) hides it, as its buttons do; a closed one is not shown again.

#include <gtkmm.h>

#include <string_view>

namespace telvanta {

class FixedDialog : public Gtk::Window {
 protected:
  enum class Frame { Dialog, Plain };
  FixedDialog(Gtk::Window& owner, std::string_view component, std::string_view caption, int width,
              int height, Frame frame = Frame::Dialog);

  Gtk::Fixed& Layout() { return layout_; }
  bool on_delete_event(GdkEventAny* event) override;

 private:
  Gtk::Fixed layout_;
};

}  // namespace telvanta
