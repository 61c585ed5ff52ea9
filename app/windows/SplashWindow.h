#pragma once
// SplashWindow: the borderless picture shown while the windows are created.

#include <gtkmm.h>

namespace telvanta {

class SplashWindow : public Gtk::Window {
 public:
  SplashWindow();
  // Shows the window and returns once it has been drawn on screen.
  void ShowAndPaint();
  bool Painted() const { return painted_; }

 private:
  Gtk::Image picture_;
  bool painted_ = false;
};

}  // namespace telvanta
