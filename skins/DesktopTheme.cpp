#include "skins/DesktopTheme.h"

namespace telvanta::skins {

namespace {
// What GTK loads when nothing names a theme.
constexpr std::string_view PlainTheme = "Adwaita";
}  // namespace

bool DesktopTheme::Plain() const { return name == PlainTheme && variant != "dark"; }

std::string DesktopTheme::Label() const { return variant.empty() ? name : name + ":" + variant; }

DesktopTheme ResolveDesktopTheme(const char* gtkThemeVariable, std::string_view themeName,
                                 bool preferDark) {
  // GTK_THEME wins over the settings, dark preference included.
  if (gtkThemeVariable != nullptr && *gtkThemeVariable != '\0') {
    const std::string_view named = gtkThemeVariable;
    const auto colon = named.rfind(':');
    if (colon == std::string_view::npos) {
      return {std::string(named), ""};
    }
    return {std::string(named.substr(0, colon)), std::string(named.substr(colon + 1))};
  }
  return {themeName.empty() ? std::string(PlainTheme) : std::string(themeName),
          preferDark ? "dark" : ""};
}

}  // namespace telvanta::skins
