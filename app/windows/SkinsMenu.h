#pragma once
// SkinsMenu: the Tools menu's "Skins" submenu of the main window. Reset to
// the built-in theme, choose any skin file, find more skins on the web, or
// apply one of the fifteen skins of the Skins folder, shown by name as radio
// items, the one drawn now ticked.

#include <gtkmm.h>

#include <functional>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "skins/SkinChoice.h"

namespace telvanta {

class SkinsMenu {
 public:
  // Fills `skinsItem`'s submenu; dialogs are owned by `owner`.
  SkinsMenu(Gtk::Window& owner, Gtk::MenuItem& skinsItem, skins::SkinSwitcher& engine);
  SkinsMenu(const SkinsMenu&) = delete;
  SkinsMenu& operator=(const SkinsMenu&) = delete;

  // Applies the named file of the Skins folder ("aqua.mskn") and remembers it.
  void ChangeSkin(std::string_view name);

 private:
  void onResetActivated();
  void onSelectActivated();
  void onGetMoreActivated();
  Gtk::FileChooserDialog& SkinFileDialog();
  // Ticks the item of the skin drawn now; none under the built-in look or
  // a skin from elsewhere.
  void MarkSkinInUse();
  // Runs the change, then marks what it left in use, also when it threw.
  void Marked(const std::function<void()>& change);

  Gtk::Window& owner_;
  skins::SkinSwitcher& engine_;
  // In the items' group but never shown: active when no item is in use.
  Gtk::RadioMenuItem noneItem_;
  std::vector<std::pair<Gtk::RadioMenuItem*, std::string_view>> skinItems_;  // and their files
  bool marking_ = false;
  std::unique_ptr<Gtk::FileChooserDialog> skinFileDialog_;
};

}  // namespace telvanta
