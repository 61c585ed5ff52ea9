#pragma once
// Which addresses are compiled HTML help, and where in the help they point.
// The desktop has no handler for "mk:@MSITStore:" addresses, so the shell's
// open operation shows these in a help window of its own.

#include <optional>
#include <string>
#include <string_view>

namespace telvanta::platform {

struct HelpAddress {
  std::string file;    // the .chm file, a local path
  std::string topic;   // object path inside it without the leading "/"; empty: default topic
  std::string anchor;  // the part after "#", without it
};

// Recognises "mk:@MSITStore:<file>[::/<topic>]", the same with "ms-its:" or
// "its:" (prefixes in any case), and a local .chm file given as an absolute
// path or a file:// URI, optionally followed by "::/<topic>". Anything else,
// web addresses ending in ".chm" included, is not help.
std::optional<HelpAddress> ParseHelpAddress(std::string_view address);

// The scheme the help window serves help pages under.
inline constexpr std::string_view HelpScheme = "telvanta-help";

// Where a link followed inside a help page goes.
enum class HelpLink {
  Page,       // another page of the open help file (HelpScheme), or a blank page
  OtherHelp,  // a help address (ParseHelpAddress)
  Outside,    // a web or mail address, for the desktop's default handler
  Refused,    // anything else: local files, scripts, unknown schemes
};
HelpLink ClassifyHelpLink(std::string_view uri);

// The type a help object is served with, by its name's extension.
std::string_view HelpMimeType(std::string_view objectPath);

}  // namespace telvanta::platform
