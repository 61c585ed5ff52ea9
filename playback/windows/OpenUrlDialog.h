#pragma once
// OpenUrlDialog: plays a typed address or path. Not modal; each "Open URL..."
// makes a new one, and several may be open at once.

#include "playback/PlayTarget.h"
#include "widgets/FixedDialog.h"
#include "widgets/WidgetSupport.h"

#include <gtkmm.h>

#include <functional>
#include <utility>

namespace telvanta {

class OpenUrlDialog : public FixedDialog {
 public:
  OpenUrlDialog(Gtk::Window& owner, PlayTarget& main);

  // What a double-click on the picture opens (the list export tools).
  void SetOpenTools(std::function<void(OpenUrlDialog&)> openTools) {
    openTools_ = std::move(openTools);
  }

 private:
  void onOkClicked();
  void onCancelClicked();
  void onPictureDoubleClicked();

  Gtk::EventBox pictureBox_;
  Gtk::Image picture_;
  Gtk::Label promptLabel_;
  Gtk::Label addressLabel_;
  Gtk::Entry addressEntry_;
  Gtk::Button okButton_;
  Gtk::Button cancelButton_;
  PlayTarget& main_;
  std::function<void(OpenUrlDialog&)> openTools_;
};

}  // namespace telvanta
