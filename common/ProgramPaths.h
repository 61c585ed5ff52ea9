#pragma once
// Where the program and its downloads live, its version and today's date text.

#include <filesystem>
#include <string>
#include <string_view>

#include "common/BuildConfig.h"

namespace telvanta {

// The project version of the build, "7.2.0.0" in this release.
inline constexpr std::string_view ProgramVersion = BuildVersion;

// Where the program's read-only files are (the catalogue, Data/, Skins/,
// Help.chm) and where its private modules are, each with a trailing "/".
struct ProgramFolders {
  std::string program;
  std::string modules;
  bool operator==(const ProgramFolders&) const = default;
};

// The folders of a program in `executableFolder`: an install keeps them
// beside its bin/ (share/telvanta/, lib/telvanta/); anywhere else, the build
// folder included, everything sits with the executable.
ProgramFolders ProgramFoldersBeside(const std::filesystem::path& executableFolder);

// ProgramFoldersBeside the running executable.
std::string ProgramFolder();
std::string ModuleFolder();
// Tests point both at one folder laid out as the build folder is; an empty
// path restores the default.
void SetProgramFolderForTesting(const std::filesystem::path& folder);
// The temporary folder ($TMPDIR, else /tmp), with a trailing "/".
std::string DownloadFolder();
// Today's local date in the user's short date format (strftime %x under the
// user's locale); only ever compared as text.
std::string DateText();

}  // namespace telvanta
