#pragma once
// The user's choice of skin: applying a file from the Skins folder or any
// other, returning to the built-in theme, and the choice kept in ThemeFile.
// The engine that draws the skins is behind SkinSwitcher, so these rules run
// without a display.

#include <filesystem>
#include <string>
#include <string_view>

namespace telvanta::skins {

class SkinSwitcher {
 public:
  virtual ~SkinSwitcher() = default;
  // Applies the skin file to every window. Afterwards SkinFile() is this
  // path, also when the file could not be loaded and the look stayed.
  // Throws Error, with the look and SkinFile() as they were, for a skin that
  // loads but leaves the program unusable (a window larger than the screen).
  virtual bool ApplySkinFile(const std::string& path) = 0;
  // The skin file last given; empty under a built-in theme.
  virtual std::string SkinFile() const = 0;
  // The skin file whose look is drawn now: unlike SkinFile(), not one that
  // failed to load. Empty under a built-in theme.
  virtual std::string DrawnSkinFile() const { return SkinFile(); }
  // A built-in theme by index; 0 is the one compiled in, "QNX".
  virtual void SelectTheme(int index) = 0;
};

// The skin file dialog's filter: label|patterns pairs, the first group
// selected when it opens.
inline constexpr std::string_view SkinFileFilter =
    "All(*.msstyles;*.uskn;*.kskn;*.xskn;*.mskn;*.theme)|*.msstyles;*.uskn;*.kskn;*.xskn;*.mskn;"
    "*.theme|Microsoft Visual Styles(*.msstyles)|*.msstyles|Telvanta Skins(*.uskn;*.kskn;*.xskn;"
    "*.mskn;*.theme)|*.uskn;*.kskn;*.xskn;*.mskn;*.theme";

// The program's Skins folder, without a trailing separator.
std::filesystem::path SkinsFolder();

// A file of the Skins folder by name ("aqua.mskn"); stores what the engine
// reports in ThemeFile. The engine's Error goes on, and nothing is stored.
void ChangeSkin(SkinSwitcher& engine, std::string_view name);
// A file chosen anywhere, by full path; stored the same way.
void ApplyChosenSkin(SkinSwitcher& engine, const std::string& path);
// Forgets the file (ThemeFile deleted) and selects theme 0.
void ResetToDefault(SkinSwitcher& engine);
// At start-up: the stored file when one exists at that path; otherwise the
// built-in theme stays, unreported. The engine's Error goes on; ThemeFile is
// kept, for a screen large enough another time.
void ApplyStoredSkin(SkinSwitcher& engine);

}  // namespace telvanta::skins
