#pragma once
// The desktop's GTK theme, named as GTK picks it: the GTK_THEME variable
// ("Adwaita:dark") before the settings' theme name and dark preference.
// Without a skin the program follows it, unless it is the plain one, over
// which the built-in look is drawn.

#include <string>
#include <string_view>

namespace telvanta::skins {

struct DesktopTheme {
  std::string name;     // "Adwaita"
  std::string variant;  // "dark", or empty

  // GTK's own light theme, the one the built-in look and the skins are drawn over.
  bool Plain() const;
  // As GTK_THEME writes it: "Adwaita:dark", "Yaru".
  std::string Label() const;
};

// `gtkThemeVariable` is GTK_THEME's value, null when unset.
DesktopTheme ResolveDesktopTheme(const char* gtkThemeVariable, std::string_view themeName,
                                 bool preferDark);

}  // namespace telvanta::skins
