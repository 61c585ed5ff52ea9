#include "health/StreamProbe.h"

#include <algorithm>
#include <array>

#include "common/AsciiText.h"
#include "platform/net/Url.h"
#include "platform/player/MetafileResolver.h"
#include "platform/player/StreamAddress.h"

namespace telvanta::health {
namespace {

constexpr std::array<std::string_view, 14> kPlaylistTypes = {
    "audio/x-mpegurl",       "audio/mpegurl",        "application/vnd.apple.mpegurl",
    "application/x-mpegurl", "audio/x-scpls",        "audio/scpls",
    "video/x-ms-asx",        "video/x-ms-asf",       "video/x-ms-wvx",
    "video/x-ms-wax",        "audio/x-ms-wax",       "application/xspf+xml",
    "audio/x-pn-realaudio",  "application/smil+xml",
};

// The media type without parameters, in lower case.
std::string MediaType(std::string_view contentType) {
  std::string type = AsciiLower(contentType.substr(0, contentType.find(';')));
  while (!type.empty() && type.back() == ' ') {
    type.pop_back();
  }
  return type;
}

// The body's start without a byte order mark and leading white space, lower-cased.
std::string Opening(std::string_view body) {
  if (body.starts_with("\xEF\xBB\xBF")) {
    body.remove_prefix(3);
  }
  const auto start = body.find_first_not_of(" \t\r\n");
  if (start == std::string_view::npos) {
    return {};
  }
  return AsciiLower(body.substr(start, 256));
}

std::optional<BodyKind> SniffedKind(std::string_view body) {
  const std::string opening = Opening(body);
  if (opening.starts_with("#extm3u")) {
    return BodyKind::LineList;
  }
  if (opening.starts_with("[playlist]") || opening.starts_with("[reference]")) {
    return BodyKind::KeyList;
  }
  if (opening.starts_with("<asx") || opening.starts_with("<smil") ||
      (opening.starts_with("<?xml") && opening.find("<playlist") != std::string::npos)) {
    return BodyKind::XmlList;
  }
  if (opening.starts_with("<!doctype html") || opening.starts_with("<html")) {
    return BodyKind::WebPage;
  }
  return std::nullopt;
}

// The value of the lowest-numbered "File<n>=" or "Ref<n>=" line.
std::optional<std::string> FirstKeyEntry(std::string_view body) {
  std::optional<std::string> best;
  long bestNumber = 0;
  std::size_t start = 0;
  while (start < body.size()) {
    std::size_t end = body.find('\n', start);
    if (end == std::string_view::npos) {
      end = body.size();
    }
    std::string_view line = body.substr(start, end - start);
    start = end + 1;
    const std::string lower = AsciiLower(line.substr(0, line.find('=')));
    const auto equals = line.find('=');
    std::string_view digits;
    if (lower.starts_with("file")) {
      digits = std::string_view(lower).substr(4);
    } else if (lower.starts_with("ref")) {
      digits = std::string_view(lower).substr(3);
    }
    if (equals == std::string_view::npos || digits.empty() ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      continue;
    }
    const long number = std::stol(std::string(digits.substr(0, 9)));
    std::string value(TrimAsciiSpace(line.substr(equals + 1)));
    if (!value.empty() && (!best || number < bestNumber)) {
      best = std::move(value);
      bestNumber = number;
    }
  }
  return best;
}

std::optional<std::string> FirstLineEntry(std::string_view body) {
  std::size_t start = 0;
  while (start < body.size()) {
    std::size_t end = body.find('\n', start);
    if (end == std::string_view::npos) {
      end = body.size();
    }
    std::string line(TrimAsciiSpace(body.substr(start, end - start)));
    start = end + 1;
    if (line.starts_with("\xEF\xBB\xBF")) {
      line.erase(0, 3);
    }
    if (!line.empty() && line.front() != '#') {
      return line;
    }
  }
  return std::nullopt;
}

}  // namespace

bool MayBePlaylist(std::string_view address, std::string_view contentType) {
  if (platform::PlaylistKindOf(address) != platform::PlaylistKind::None) {
    return true;
  }
  const std::string type = MediaType(contentType);
  return type.empty() || type.starts_with("text/") || type.find("xml") != std::string::npos ||
         std::find(kPlaylistTypes.begin(), kPlaylistTypes.end(), type) != kPlaylistTypes.end();
}

bool LooksBinary(std::string_view bytes) {
  return std::any_of(bytes.begin(), bytes.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 && byte != '\t' && byte != '\r' && byte != '\n';
  });
}

BodyKind ClassifyBody(std::string_view address, std::string_view contentType,
                      std::string_view body) {
  if (const auto sniffed = SniffedKind(body)) {
    return *sniffed;
  }
  if (body.empty() || LooksBinary(body.substr(0, 512))) {
    return BodyKind::Stream;
  }
  using platform::PlaylistKind;
  PlaylistKind kind = platform::PlaylistKindOf(address);
  if (kind == PlaylistKind::None) {
    const std::string type = MediaType(contentType);
    if (type.find("mpegurl") != std::string::npos) {
      kind = PlaylistKind::M3u;
    } else if (type.find("scpls") != std::string::npos) {
      kind = PlaylistKind::Pls;
    } else if (type == "audio/x-pn-realaudio") {
      kind = PlaylistKind::Ram;
    } else if (type == "text/html") {
      return BodyKind::WebPage;
    }
  }
  switch (kind) {
    case PlaylistKind::M3u:
    case PlaylistKind::Ram:
      return BodyKind::LineList;
    case PlaylistKind::Pls:
      return BodyKind::KeyList;
    case PlaylistKind::Asx:
    case PlaylistKind::Smil:
    case PlaylistKind::Xspf:
      return BodyKind::XmlList;
    case PlaylistKind::None:
      break;
  }
  return BodyKind::Stream;
}

std::optional<std::string> FirstEntry(BodyKind kind, const std::string& body,
                                      const std::string& address) {
  std::optional<std::string> entry;
  if (kind == BodyKind::LineList) {
    entry = FirstLineEntry(body);
  } else if (kind == BodyKind::KeyList) {
    entry = FirstKeyEntry(body);
  } else if (kind == BodyKind::XmlList) {
    // The parser resolves relative entries itself.
    const platform::MetafileResult parsed = platform::ParseMetafile(body, address);
    if (!parsed.entries.empty()) {
      return parsed.entries.front().address;
    }
  }
  if (!entry) {
    return std::nullopt;
  }
  return platform::ResolveUrl(address, *entry);
}

}  // namespace telvanta::health
