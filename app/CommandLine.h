#pragma once
// The program's command line: `telvanta [--reset-skin] [URL | FILE]`, and
// --help and --version, which print and end the run.

#include <filesystem>
#include <string>
#include <vector>

namespace telvanta {

struct CommandLine {
  enum class Action { Run, Help, Version, Refuse };
  Action action = Action::Run;
  bool resetSkin = false;
  // What to play, as Open URL and Open file would: an address exactly as
  // given, or a file's absolute path; empty when there is none.
  std::string address;
  // Why the command line is refused, as told on standard error.
  std::string error;
};

// Reads the arguments that follow the program's name. A relative path is
// taken from `workingFolder`, and a file that isn't there is refused here,
// where the user can be told. Of several addresses (a file manager hands
// over every file chosen) the first plays.
CommandLine ReadCommandLine(const std::vector<std::string>& arguments,
                            const std::filesystem::path& workingFolder);

// What --help and --version print.
std::string HelpText();
std::string VersionText();

}  // namespace telvanta
