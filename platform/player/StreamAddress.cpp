#include "platform/player/StreamAddress.h"

#include <algorithm>
#include <array>
#include <utility>

#include "common/AsciiText.h"

namespace telvanta::platform {
namespace {

std::string_view SchemeOf(std::string_view address) {
  const auto colon = address.find("://");
  return colon == std::string_view::npos ? std::string_view() : address.substr(0, colon);
}

// The path without query and fragment, lower-cased.
std::string PathOf(std::string_view address) {
  const auto end = address.find_first_of("?#");
  return AsciiLower(address.substr(0, end));
}

}  // namespace

PlaylistKind PlaylistKindOf(std::string_view address) {
  const std::string path = PathOf(address);
  const auto dot = path.rfind('.');
  if (dot == std::string::npos || path.find('/', dot) != std::string::npos) {
    return PlaylistKind::None;
  }
  static constexpr std::array<std::pair<std::string_view, PlaylistKind>, 12> kEndings{{
      {"m3u", PlaylistKind::M3u},
      {"m3u8", PlaylistKind::M3u},
      {"pls", PlaylistKind::Pls},
      {"asx", PlaylistKind::Asx},
      {"wvx", PlaylistKind::Asx},
      {"wax", PlaylistKind::Asx},
      {"wmx", PlaylistKind::Asx},
      {"ram", PlaylistKind::Ram},
      {"rpm", PlaylistKind::Ram},
      {"smil", PlaylistKind::Smil},
      {"smi", PlaylistKind::Smil},
      {"xspf", PlaylistKind::Xspf},
  }};
  const std::string_view ending = std::string_view(path).substr(dot + 1);
  for (const auto& [name, kind] : kEndings) {
    if (ending == name) {
      return kind;
    }
  }
  return PlaylistKind::None;
}

bool NeedsMetafileResolver(PlaylistKind kind) {
  return kind != PlaylistKind::None && kind != PlaylistKind::M3u && kind != PlaylistKind::Pls;
}

std::string NormalizeScheme(std::string_view address) {
  const std::string_view scheme = SchemeOf(address);
  return AsciiLower(scheme) + std::string(address.substr(scheme.size()));
}

bool IsPlayableAddress(std::string_view address) {
  static constexpr std::array<std::string_view, 15> kSchemes = {
      "http",  "https", "mms", "mmsh", "mmst", "rtsp", "rtsps", "rtmp",
      "rtmps", "rtmpt", "rtp", "udp",  "srt",  "ftp",  "file",
  };
  if (address.empty()) {
    return false;
  }
  const std::string scheme = AsciiLower(SchemeOf(address));
  if (scheme.empty()) {
    return address.find("://") == std::string_view::npos;
  }
  return std::find(kSchemes.begin(), kSchemes.end(), scheme) != kSchemes.end();
}

std::vector<std::string> TransportAttempts(std::string_view address) {
  const std::string normal = NormalizeScheme(address);
  if (normal.starts_with("mms://")) {
    const std::string rest = normal.substr(3);
    return {"mmsh" + rest, "mmst" + rest};
  }
  return {normal};
}

std::string HostOf(std::string_view address) {
  const auto start = address.find("://");
  if (start == std::string_view::npos) {
    return {};
  }
  std::string_view rest = address.substr(start + 3);
  rest = rest.substr(0, rest.find_first_of("/?#"));
  if (const auto at = rest.rfind('@'); at != std::string_view::npos) {
    rest.remove_prefix(at + 1);
  }
  if (!rest.empty() && rest.front() == '[') {
    const auto close = rest.find(']');
    return std::string(rest.substr(1, close == std::string_view::npos ? rest.npos : close - 1));
  }
  return std::string(rest.substr(0, rest.find(':')));
}

bool IsNetworkAddress(std::string_view address) {
  const std::string scheme = AsciiLower(SchemeOf(address));
  return !scheme.empty() && scheme != "file";
}

}  // namespace telvanta::platform
