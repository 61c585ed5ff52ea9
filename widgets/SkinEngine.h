#pragma once
// SkinEngine: draws every window, menu and dialog of the program with one
// skin at a time. A skin is a style sheet added to the whole screen above
// the GTK theme and the windows' own rules, so a switch is seen at once.
//
// Theme 0, the built-in look, follows the desktop: over GTK's plain light
// theme it is "QNX"; over any other desktop theme (a dark one, say) that
// theme draws the windows, with light link colours when it is dark. The
// built-in look follows the desktop's changes of theme and of dark
// preference (the settings portal's colour scheme included); a skin file
// draws every window itself and looks the same over any of them.
// UI thread only.

#include <gtkmm.h>

#include <string>

#include "skins/SkinChoice.h"
#include "skins/SkinPictures.h"

namespace telvanta {

class SkinEngine : public skins::SkinSwitcher {
 public:
  // The engine of the default screen, made on first use with theme 0.
  static SkinEngine& Default();

  // A skin that fails to load (missing, unreadable, a style sheet with
  // errors) leaves the look as it was; why is logged, and false returned.
  // A skin that would make a window larger than the screen, when it fitted
  // before, is taken back: the look and SkinFile() stay as they were, and
  // Error says which window and how large.
  bool ApplySkinFile(const std::string& path) override;
  std::string SkinFile() const override { return skinFile_; }
  std::string DrawnSkinFile() const override { return drawnFile_; }
  void SelectTheme(int index) override;

  // The name of what is drawn now: the built-in theme's, the skin's, or the
  // desktop theme's ("Adwaita:dark") when theme 0 follows it.
  const std::string& LookName() const { return lookName_; }

 private:
  SkinEngine();
  // Theme 0 drawn again over the desktop's theme as it is now.
  void FollowDesktop();
  // Parses into a fresh provider and swaps only when the sheet is clean.
  bool Install(const std::string& css, const std::string& origin);
  // Draws every window with this provider from now on.
  void Use(const Glib::RefPtr<Gtk::CssProvider>& provider);

  Glib::RefPtr<Gtk::CssProvider> provider_;
  std::string skinFile_;
  std::string drawnFile_;
  std::string lookName_;
  skins::PictureSet pictures_;  // the current skin's, served while it is drawn
};

}  // namespace telvanta
