#pragma once
// AddChannelDialog: a display name and a stream URL typed by hand become the
// last favourite. Modal over the list window; a new one for every use.

#include <gtkmm.h>

#include "favourites/Favourites.h"
#include "favourites/FavouritesHost.h"
#include "widgets/FixedDialog.h"

namespace telvanta {

class AddChannelDialog : public FixedDialog {
 public:
  AddChannelDialog(Gtk::Window& owner, const FavouritesFile& favourites, FavouritesHost& host);

 private:
  void onOkClicked();

  const FavouritesFile& favourites_;
  FavouritesHost& host_;
  Gtk::Image picture_;
  Gtk::Label nameLabel_;
  Gtk::Entry nameEntry_;
  Gtk::Label urlLabel_;
  Gtk::Entry urlEntry_;
  Gtk::Button okButton_;
  Gtk::Button cancelButton_;
};

}  // namespace telvanta
