#pragma once
// SkinsMenu: the Tools menu's "Skins" submenu of the main window. Reset to
// the built-in theme, choose any skin file, find more skins on the web, or
// apply one of the fifteen files of the Skins folder.

#include <gtkmm.h>

#include <memory>
#include <string_view>

#include "skins/SkinChoice.h"

namespace telvanta {

class SkinsMenu {
 public:
  // Fills `skinsItem`'s submenu; dialogs are owned by `owner`.
  SkinsMenu(Gtk::Window& owner, Gtk::MenuItem& skinsItem, skins::SkinSwitcher& engine);
  SkinsMenu(const SkinsMenu&) = delete;
  SkinsMenu& operator=(const SkinsMenu&) = delete;

  // Applies the named file of the Skins folder and remembers it.
  void ChangeSkin(std::string_view name);

 private:
  void onResetActivated();
  void onSelectActivated();
  void onGetMoreActivated();
  Gtk::FileChooserDialog& SkinFileDialog();

  Gtk::Window& owner_;
  skins::SkinSwitcher& engine_;
  std::unique_ptr<Gtk::FileChooserDialog> skinFileDialog_;
};

}  // namespace telvanta
