#include "platform/chm/HelpAddress.h"

#include <glib.h>

#include <array>
#include <utility>

#include "common/AsciiText.h"
#include "platform/glib/GObjectPtr.h"

namespace telvanta::platform {

namespace {

constexpr std::array kStorePrefixes = {std::string_view("mk:@MSITStore:"),
                                       std::string_view("ms-its:"), std::string_view("its:")};

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         EqualsIgnoringAsciiCase(text.substr(text.size() - suffix.size()), suffix);
}

// "file:///a%20b/Help.chm" to "/a b/Help.chm"; nothing for a remote host.
std::optional<std::string> LocalPathOf(std::string_view fileUri) {
  const std::string uri(fileUri);
  gchar* host = nullptr;
  const GCharPtr path(g_filename_from_uri(uri.c_str(), &host, nullptr));
  const GCharPtr hostName(host);
  if (!path || (hostName && std::string_view(hostName.get()) != "localhost")) {
    return std::nullopt;
  }
  return std::string(path.get());
}

// Splits "<file>::/<topic>#<anchor>"; topics use "/" whatever the writer used.
HelpAddress SplitTopic(std::string_view rest) {
  HelpAddress help;
  const auto separator = rest.find("::");
  help.file = std::string(rest.substr(0, separator));
  if (separator == std::string_view::npos) {
    return help;
  }
  std::string topic(rest.substr(separator + 2));
  for (char& c : topic) {
    if (c == '\\') {
      c = '/';
    }
  }
  if (const auto hash = topic.find('#'); hash != std::string::npos) {
    help.anchor = topic.substr(hash + 1);
    topic.erase(hash);
  }
  const auto first = topic.find_first_not_of('/');
  help.topic = first == std::string::npos ? std::string() : topic.substr(first);
  return help;
}

std::optional<HelpAddress> ParseStoreAddress(std::string_view rest) {
  HelpAddress help = SplitTopic(rest);
  if (StartsWithIgnoringCase(help.file, "file:")) {
    auto path = LocalPathOf(help.file);
    if (!path) {
      return std::nullopt;
    }
    help.file = std::move(*path);
  }
  if (help.file.empty()) {
    return std::nullopt;
  }
  return help;
}

std::optional<HelpAddress> ParseFileAddress(std::string_view address) {
  HelpAddress help = SplitTopic(address);
  if (!EndsWithIgnoringCase(help.file, ".chm")) {
    return std::nullopt;
  }
  if (StartsWithIgnoringCase(help.file, "file:")) {
    auto path = LocalPathOf(help.file);
    if (!path) {
      return std::nullopt;
    }
    help.file = std::move(*path);
  }
  if (help.file.empty() || help.file.front() != '/') {
    return std::nullopt;
  }
  return help;
}

}  // namespace

std::optional<HelpAddress> ParseHelpAddress(std::string_view address) {
  address = TrimAsciiSpace(address);
  for (const std::string_view prefix : kStorePrefixes) {
    if (StartsWithIgnoringCase(address, prefix)) {
      return ParseStoreAddress(address.substr(prefix.size()));
    }
  }
  return ParseFileAddress(address);
}

HelpLink ClassifyHelpLink(std::string_view uri) {
  const auto colon = uri.find(':');
  const std::string scheme =
      colon == std::string_view::npos ? "" : AsciiLower(uri.substr(0, colon));
  if (scheme == HelpScheme || uri == "about:blank") {
    return HelpLink::Page;
  }
  if (scheme != "file" && ParseHelpAddress(uri)) {
    return HelpLink::OtherHelp;
  }
  if (scheme == "http" || scheme == "https" || scheme == "mailto" || scheme == "ftp") {
    return HelpLink::Outside;
  }
  return HelpLink::Refused;
}

std::string_view HelpMimeType(std::string_view objectPath) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 12> kTypes = {{
      {".htm", "text/html"},
      {".html", "text/html"},
      {".css", "text/css"},
      {".js", "text/javascript"},
      {".png", "image/png"},
      {".gif", "image/gif"},
      {".jpg", "image/jpeg"},
      {".jpeg", "image/jpeg"},
      {".svg", "image/svg+xml"},
      {".ico", "image/x-icon"},
      {".bmp", "image/bmp"},
      {".txt", "text/plain"},
  }};
  for (const auto& [extension, type] : kTypes) {
    if (EndsWithIgnoringCase(objectPath, extension)) {
      return type;
    }
  }
  return "application/octet-stream";
}

}  // namespace telvanta::platform
