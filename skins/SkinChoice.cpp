#include "skins/SkinChoice.h"

#include <system_error>

#include "common/ProgramPaths.h"
#include "settings/Settings.h"

namespace telvanta::skins {

namespace {
constexpr std::string_view ThemeFileValue = "ThemeFile";
}  // namespace

std::filesystem::path SkinsFolder() { return std::filesystem::path(ProgramFolder()) / "Skins"; }

void ChangeSkin(SkinSwitcher& engine, std::string_view name) {
  ApplyChosenSkin(engine, (SkinsFolder() / std::string(name)).string());
}

void ApplyChosenSkin(SkinSwitcher& engine, const std::string& path) {
  // A file that fails to load is not reported; its path is kept all the same.
  engine.ApplySkinFile(path);
  WriteSetting(ThemeFileValue, engine.SkinFile());
}

void ResetToDefault(SkinSwitcher& engine) {
  DeleteSetting(ThemeFileValue);
  engine.SelectTheme(0);
}

void ApplyStoredSkin(SkinSwitcher& engine) {
  const std::string path = ReadSetting(ThemeFileValue);
  std::error_code error;
  if (!path.empty() && std::filesystem::is_regular_file(path, error)) {
    engine.ApplySkinFile(path);
  }
}

}  // namespace telvanta::skins
