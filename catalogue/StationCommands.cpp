#include "catalogue/StationCommands.h"

#include "common/Files.h"
#include "common/I18n.h"
#include "common/Links.h"

namespace telvanta {

EntryParts SplitEntryText(std::string_view entry) {
  EntryParts parts;
  const std::size_t dash = entry.find(" - ");
  parts.country = std::string(entry.substr(0, dash));
  const std::size_t open = entry.find('(');
  // From the blank after the hyphen (from the second character without a
  // hyphen); a "(" before that leaves the name empty.
  const std::size_t start = dash == std::string_view::npos ? 1 : dash + 2;
  const std::size_t end = open == std::string_view::npos ? entry.size() : open;
  if (start < end) {
    parts.name = std::string(entry.substr(start, end - start));
  }
  if (open != std::string_view::npos) {
    const std::size_t close = entry.find(')', open + 1);
    if (close != std::string_view::npos) {
      parts.speed = std::string(entry.substr(open + 1, close - open - 1));
    }
  }
  return parts;
}

std::string_view PlayerTypeText(StreamClass streamClass) {
  switch (streamClass) {
    case StreamClass::Mms:
      return "Windows Media";
    case StreamClass::Rtsp:
      return "Real Media";
    case StreamClass::Webcam:
    case StreamClass::None:
      break;
  }
  return {};
}

std::string BadLinkQuestion(std::string_view entry) {
  return Substitute(_("Are you sure the channel '%1' is always offline?\r"
                      "Don't forget that the live television depends on the origin and not of "
                      "the program that show them, some stations can be off line temporarily "
                      "or with too many connections."),
                    {entry});
}

std::string BadLinkAddress(std::string_view entry) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string address = BadLinkPage() + "?ChannelName=";
  for (const char c : entry) {
    const auto byte = static_cast<unsigned char>(c);
    const bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                            (byte >= '0' && byte <= '9') || c == '-' || c == '.' || c == '_' ||
                            c == '~';
    if (unreserved) {
      address += c;
    } else {
      address += '%';
      address += kDigits[byte >> 4];
      address += kDigits[byte & 0xF];
    }
  }
  return address;
}

std::filesystem::path ExportPath(std::string_view fileName) { return HomeFolder() / fileName; }

}  // namespace telvanta
