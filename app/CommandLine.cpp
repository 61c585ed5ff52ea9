#include "app/CommandLine.h"

#include "common/AsciiText.h"
#include "common/I18n.h"
#include "common/ProgramPaths.h"

#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

namespace telvanta {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view FileScheme = "file://";
constexpr const char* HelpHint = N_("Try 'telvanta --help' for more information.");

// "scheme://...": a stream address. Anything else is a path, so a file
// whose name holds a colon still opens.
bool HasScheme(std::string_view text) {
  const std::size_t end = text.find("://");
  if (end == std::string_view::npos || end == 0) {
    return false;
  }
  for (std::size_t i = 0; i < end; ++i) {
    const char c = AsciiLower(text[i]);
    const bool letter = c >= 'a' && c <= 'z';
    const bool other = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
    if (!letter && !(i > 0 && other)) {
      return false;
    }
  }
  return true;
}

std::string PercentDecoded(std::string_view text) {
  std::string decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexDigitValue(text[i + 1]) >= 0 &&
        HexDigitValue(text[i + 2]) >= 0) {
      decoded += static_cast<char>(HexDigitValue(text[i + 1]) * 16 + HexDigitValue(text[i + 2]));
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

// The path of a file:// address on this machine; nullopt for another host's.
std::optional<std::string> LocalPath(std::string_view uri) {
  const std::string_view rest = uri.substr(FileScheme.size());
  const std::size_t slash = rest.find('/');
  const std::string_view host = rest.substr(0, slash);
  if (slash == std::string_view::npos || !(host.empty() || host == "localhost")) {
    return std::nullopt;
  }
  return PercentDecoded(rest.substr(slash));
}

CommandLine Ending(CommandLine::Action action, std::string error = {}) {
  CommandLine command;
  command.action = action;
  command.error = std::move(error);
  return command;
}

CommandLine Playing(std::string address) {
  CommandLine command;
  command.address = std::move(address);
  return command;
}

// The address to play for one argument, or a refusal saying why not.
CommandLine Address(const std::string& argument, const fs::path& workingFolder) {
  std::string path = argument;
  if (HasScheme(argument)) {
    if (!EqualsIgnoringAsciiCase(std::string_view(argument).substr(0, FileScheme.size()),
                                 FileScheme)) {
      return Playing(argument);
    }
    const auto local = LocalPath(argument);
    if (!local) {
      return Ending(CommandLine::Action::Refuse,
                    Substitute(_("'%1' is not a file on this computer"), {argument}));
    }
    path = *local;
  }
  const fs::path full = (workingFolder / path).lexically_normal();
  std::error_code error;
  if (!fs::is_regular_file(full, error)) {
    return Ending(
        CommandLine::Action::Refuse,
        Substitute(fs::exists(full, error) ? _("'%1': not a file") : _("'%1': no such file"),
                   {argument}));
  }
  return Playing(full.string());
}

}  // namespace

CommandLine ReadCommandLine(const std::vector<std::string>& arguments,
                            const fs::path& workingFolder) {
  CommandLine command;
  bool options = true;
  for (const std::string& argument : arguments) {
    if (options && argument == "--") {
      options = false;
    } else if (options && argument == "--help") {
      return Ending(CommandLine::Action::Help);
    } else if (options && argument == "--version") {
      return Ending(CommandLine::Action::Version);
    } else if (options && argument == "--reset-skin") {
      command.resetSkin = true;
    } else if (options && argument.size() > 1 && argument[0] == '-') {
      return Ending(CommandLine::Action::Refuse,
                    Substitute(_("unknown option '%1'"), {argument}) + "\n" + _(HelpHint));
    } else if (command.address.empty()) {
      const CommandLine played = Address(argument, workingFolder);
      if (played.action == CommandLine::Action::Refuse) {
        return played;
      }
      command.address = played.address;
    }
  }
  return command;
}

std::string HelpText() {
  return _(
      "Usage: telvanta [--reset-skin] [URL | FILE]\n"
      "Watch live internet TV, listen to internet radio and view webcams.\n"
      "\n"
      "Plays URL (a stream address such as mms://, rtsp:// or http://) as Open URL\n"
      "does, or FILE (a media file, or an M3U, PLS, XSPF or ASX playlist) as Open\n"
      "file does; with neither, the channel list comes up. While Telvanta runs, a\n"
      "second start hands its address to the running one, which plays it.\n"
      "\n"
      "  --reset-skin  forget the chosen skin and start with the built-in look\n"
      "                (holding Shift as the program starts does the same)\n"
      "  --help        show this help and exit\n"
      "  --version     show the version and exit\n");
}

std::string VersionText() { return "Telvanta " + std::string(ProgramVersion) + "\n"; }

}  // namespace telvanta
