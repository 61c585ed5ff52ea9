#pragma once
// PreferencesDialog: the start page, the automatic catalogue download and
// "always on top". Not modal; every use opens another one.

#include <gtkmm.h>

#include <functional>

#include "widgets/FixedDialog.h"

namespace telvanta {

class PreferencesDialog : public FixedDialog {
 public:
  // applyTopMost places the main window at once on OK; openUpdateCheck,
  // when given, is what "Update now!" opens after closing the dialog.
  PreferencesDialog(Gtk::Window& owner, std::function<void(bool)> applyTopMost,
                    std::function<void()> openUpdateCheck);

 private:
  void onOkClicked();
  void onUpdateNowClicked();

  std::function<void(bool)> applyTopMost_;
  std::function<void()> openUpdateCheck_;
  Gtk::Image picture_;
  Gtk::Label startupLabel_;
  Gtk::ComboBoxText startupBox_;
  Gtk::CheckButton autoUpdateCheck_;
  Gtk::CheckButton topMostCheck_;
  Gtk::Button updateNowButton_;
  Gtk::Button okButton_;
  Gtk::Button cancelButton_;
};

}  // namespace telvanta
