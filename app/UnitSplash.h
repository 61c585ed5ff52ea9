#pragma once
// TSplash: the borderless picture shown while the windows are created.

#include <gtkmm.h>

namespace telvanta {

class TSplash : public Gtk::Window {
 public:
  TSplash();
  // Shows the window and returns once it has been drawn on screen.
  void ShowAndPaint();
  bool Painted() const { return painted_; }

 private:
  Gtk::Image Image1;
  bool painted_ = false;
};

}  // namespace telvanta
