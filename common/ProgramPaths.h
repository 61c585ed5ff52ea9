#pragma once
// Where the program and its downloads live, its version and today's date text.

#include <filesystem>
#include <string>
#include <string_view>

#include "common/BuildConfig.h"

namespace telvanta {

// The project version of the build, "7.2.0.0" in this release.
inline constexpr std::string_view ProgramVersion = BuildVersion;

// Folder of the running executable, with a trailing "/".
std::string ProgramFolder();
// Tests point the program folder elsewhere; an empty path restores the default.
void SetProgramFolderForTesting(const std::filesystem::path& folder);
// The temporary folder ($TMPDIR, else /tmp), with a trailing "/".
std::string DownloadFolder();
// Today's local date in the user's short date format (strftime %x under the
// user's locale); only ever compared as text.
std::string DateText();

}  // namespace telvanta
