#include "platform/player/PlaybackFailure.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>

#include "common/AsciiText.h"
#include "common/I18n.h"
#include "platform/player/StreamAddress.h"

namespace telvanta::platform {
namespace {

// The three-digit status after a marker such as "http error ", or 0.
int StatusAfter(std::string_view line, std::string_view marker) {
  const auto at = line.find(marker);
  if (at == std::string_view::npos) {
    return 0;
  }
  const std::string_view rest = line.substr(at + marker.size());
  int status = 0;
  const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), status);
  if (error != std::errc() || end - rest.data() != 3) {
    return 0;
  }
  return status;
}

// Causes that say more than the engine's code, strongest first.
int Rank(FailureKind kind) {
  switch (kind) {
    case FailureKind::HostNotFound:
    case FailureKind::NetworkUnreachable:
    case FailureKind::ConnectionRefused:
    case FailureKind::NotFound:
    case FailureKind::AccessDenied:
    case FailureKind::ServerError:
      return 3;
    case FailureKind::TimedOut:
      return 2;
    case FailureKind::ConnectionLost:
      return 1;
    default:
      return 0;
  }
}

// "host:port" of a connection named in a log line, if any.
std::string ConnectionIn(std::string_view line) {
  const auto start = line.find("tcp://");
  if (start == std::string_view::npos) {
    return {};
  }
  std::string_view rest = line.substr(start + 6);
  return std::string(rest.substr(0, rest.find_first_of("/?# ")));
}

int DefaultPort(std::string_view address) {
  const std::string scheme = AsciiLower(address.substr(0, address.find("://")));
  if (scheme == "https") {
    return 443;
  }
  if (scheme == "rtsp") {
    return 554;
  }
  if (scheme == "mmst" || scheme == "mms") {
    return 1755;
  }
  return 80;
}

// "host:port" of an address, with the scheme's default port.
std::string ConnectionOf(std::string_view address) {
  const std::string host = HostOf(address);
  auto start = address.find("://");
  if (host.empty() || start == std::string_view::npos) {
    return {};
  }
  std::string_view authority = address.substr(start + 3);
  authority = authority.substr(0, authority.find_first_of("/?#"));
  if (const auto at = authority.rfind('@'); at != std::string_view::npos) {
    authority.remove_prefix(at + 1);
  }
  const auto close = authority.rfind(']');
  const auto colon = authority.rfind(':');
  const bool hasPort =
      colon != std::string_view::npos && (close == std::string_view::npos || colon > close);
  const std::string port =
      hasPort ? std::string(authority.substr(colon + 1)) : std::to_string(DefaultPort(address));
  const bool bracketed = host.find(':') != std::string::npos;
  return (bracketed ? "[" + host + "]" : host) + ":" + port;
}

std::string Quoted(const std::string& host) { return host.empty() ? "" : " \"" + host + "\""; }

}  // namespace

FailureKind FailureKindForStatus(int status) {
  if (status == 404 || status == 410) {
    return FailureKind::NotFound;
  }
  if (status == 401 || status == 403) {
    return FailureKind::AccessDenied;
  }
  return FailureKind::ServerError;
}

FailureKind FailureKindFor(NetError error) {
  switch (error) {
    case NetError::None:
      return FailureKind::None;
    case NetError::HostNotFound:
      return FailureKind::HostNotFound;
    case NetError::NetworkUnreachable:
    case NetError::HostUnreachable:
      return FailureKind::NetworkUnreachable;
    case NetError::ConnectionRefused:
      return FailureKind::ConnectionRefused;
    case NetError::NoConnection:
    case NetError::NoAnswer:
      return FailureKind::TimedOut;
    case NetError::EmptyReply:
    case NetError::ConnectionLost:
      return FailureKind::ConnectionLost;
    case NetError::TooLarge:  // a stream behind a list's name
      return FailureKind::UnsupportedFormat;
    default:
      return FailureKind::Unknown;
  }
}

Failure ClassifyLogLine(std::string_view text) {
  const std::string line = AsciiLower(text);
  // The sound server's "connection refused" is not the stream's.
  if (line.starts_with("ao:") || line.starts_with("ao/")) {
    return {};
  }
  static constexpr std::array<std::pair<std::string_view, FailureKind>, 10> kPhrases{{
      {"failed to resolve hostname", FailureKind::HostNotFound},
      {"name or service not known", FailureKind::HostNotFound},
      {"temporary failure in name resolution", FailureKind::HostNotFound},
      {"no address associated with hostname", FailureKind::HostNotFound},
      {"connection refused", FailureKind::ConnectionRefused},
      {"network is unreachable", FailureKind::NetworkUnreachable},
      {"no route to host", FailureKind::NetworkUnreachable},
      {"timed out", FailureKind::TimedOut},
      {"connection reset by peer", FailureKind::ConnectionLost},
      {"broken pipe", FailureKind::ConnectionLost},
  }};
  for (const auto& [phrase, kind] : kPhrases) {
    if (line.find(phrase) != std::string::npos) {
      return {kind, 0, {}};
    }
  }
  for (std::string_view marker : {"http error ", "server returned ", "failed: "}) {
    if (const int status = StatusAfter(line, marker); status >= 400 && status < 600) {
      return {FailureKindForStatus(status), status, {}};
    }
  }
  return {};
}

bool LogLineConcerns(std::string_view line, std::string_view address) {
  const std::string named = ConnectionIn(line);
  return named.empty() || AsciiLower(named) == AsciiLower(ConnectionOf(address));
}

Failure DiagnoseFailure(int engineError, const std::vector<std::string>& log,
                        std::string_view address) {
  if (engineError == kMpvErrorAudioOutputFailed) {
    return {FailureKind::NoAudioOutput, 0, HostOf(address)};
  }
  Failure best;
  int bestRank = 0;
  for (const auto& line : log) {
    const Failure found = ClassifyLogLine(line);
    // Twice the rank, plus one for a line naming our own connection.
    const int rank = Rank(found.kind) * 2 + (ConnectionIn(line).empty() ? 0 : 1);
    if (Rank(found.kind) > 0 && rank > bestRank && LogLineConcerns(line, address)) {
      best = found;
      bestRank = rank;
    }
  }
  if (best.kind == FailureKind::None) {
    if (engineError == kMpvErrorLoadingFailed && !IsNetworkAddress(address)) {
      best.kind = FailureKind::NotFound;  // a local file that is not there
    } else if (engineError == kMpvErrorUnknownFormat) {
      best.kind = FailureKind::UnsupportedFormat;
    } else if (engineError == kMpvErrorNothingToPlay) {
      best.kind = FailureKind::NothingToPlay;
    } else {
      best.kind = FailureKind::Unknown;
    }
  }
  best.host = HostOf(address);
  return best;
}

bool PlayedToTheEnd(int engineError, bool hadPicture) {
  return engineError == 0 || (engineError == kMpvErrorAudioOutputFailed && hadPicture);
}

// TRANSLATORS: in these texts %1 is nothing, or a space and the server's
// name in quotes, or a space and the error number in brackets.
std::string FailureMessage(const Failure& failure) {
  const std::string host = Quoted(failure.host);
  const std::string code =
      failure.status != 0 ? Substitute(_(" (error %1)"), {std::to_string(failure.status)}) : "";
  switch (failure.kind) {
    case FailureKind::None:
      return {};
    case FailureKind::HostNotFound:
      return Substitute(_("Cannot find the server%1."), {host});
    case FailureKind::NetworkUnreachable:
      return Substitute(_("The server%1 cannot be reached."), {host});
    case FailureKind::ConnectionRefused:
      return Substitute(_("The server%1 refused the connection."), {host});
    case FailureKind::TimedOut:
      return Substitute(_("The server%1 did not answer in time."), {host});
    case FailureKind::NotFound:
      if (failure.host.empty() && failure.status == 0) {
        return _("The file was not found.");
      }
      return Substitute(_("The stream was not found on the server%1."), {code});
    case FailureKind::AccessDenied:
      return Substitute(_("The server refused access to the stream%1."), {code});
    case FailureKind::ServerError:
      return Substitute(_("The server reported an error%1."), {code});
    case FailureKind::ConnectionLost:
      return _("The connection to the server was lost.");
    case FailureKind::UnsupportedFormat:
      return _("The stream's format is not supported.");
    case FailureKind::NothingToPlay:
      return _("The stream holds no sound or picture to play.");
    case FailureKind::EmptyPlaylist:
      return _("The playlist names no stream to play.");
    case FailureKind::UnsupportedProtocol:
      return _("The address's protocol is not supported.");
    case FailureKind::NoAudioOutput:
      return _("No audio output could be opened.");
    case FailureKind::Unknown:
      break;
  }
  return _("Cannot open the stream.");
}

}  // namespace telvanta::platform
