#include "platform/gtk/core/PlaybackFailure.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <utility>

#include "platform/gtk/core/StreamAddress.h"

namespace telvanta::platform {
namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

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

Failure ClassifyLogLine(std::string_view text) {
  const std::string line = Lower(text);
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

Failure DiagnoseFailure(int engineError, const std::vector<std::string>& log,
                        std::string_view address) {
  Failure best;
  for (const auto& line : log) {
    const Failure found = ClassifyLogLine(line);
    if (Rank(found.kind) > Rank(best.kind)) {
      best = found;
    }
  }
  if (best.kind == FailureKind::None) {
    if (engineError == kMpvErrorUnknownFormat) {
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

std::string FailureMessage(const Failure& failure) {
  const std::string host = Quoted(failure.host);
  const std::string code =
      failure.status != 0 ? " (error " + std::to_string(failure.status) + ")" : "";
  switch (failure.kind) {
    case FailureKind::None:
      return {};
    case FailureKind::HostNotFound:
      return "Cannot find the server" + host + ".";
    case FailureKind::NetworkUnreachable:
      return "The server" + host + " cannot be reached.";
    case FailureKind::ConnectionRefused:
      return "The server" + host + " refused the connection.";
    case FailureKind::TimedOut:
      return "The server" + host + " did not answer in time.";
    case FailureKind::NotFound:
      return "The stream was not found on the server" + code + ".";
    case FailureKind::AccessDenied:
      return "The server refused access to the stream" + code + ".";
    case FailureKind::ServerError:
      return "The server reported an error" + code + ".";
    case FailureKind::ConnectionLost:
      return "The connection to the server was lost.";
    case FailureKind::UnsupportedFormat:
      return "The stream's format is not supported.";
    case FailureKind::NothingToPlay:
      return "The stream holds no sound or picture to play.";
    case FailureKind::EmptyPlaylist:
      return "The playlist names no stream to play.";
    case FailureKind::Unknown:
      break;
  }
  return "Cannot open the stream.";
}

}  // namespace telvanta::platform
