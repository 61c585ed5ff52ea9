#pragma once
// ListExportWindow: writes the lists to text files in the home folder. Opened
// by a double-click on the Open URL dialog's picture; not modal.

#include <gtkmm.h>

#include "catalogue/StationCommands.h"
#include "widgets/FixedDialog.h"

namespace telvanta {

class ListExportWindow : public FixedDialog {
 public:
  ListExportWindow(Gtk::Window& owner, ListExportSource& source);

 private:
  void exportPage(ListPage page, std::string_view fileName);
  void onOldListClicked();

  ListExportSource& source_;
  Gtk::Button tvButton_;
  Gtk::Button radioButton_;
  Gtk::Button webcamButton_;
  Gtk::Button oldListButton_;
};

}  // namespace telvanta
