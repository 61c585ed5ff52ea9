#pragma once
// How a request ended, and the short text the station lists show for it
// ("Connection refused", "No answer within 8 s"). The player turns the same
// kinds into its own sentences (platform/player/PlaybackFailure.h).

#include <chrono>
#include <cstdint>
#include <string>

namespace telvanta::platform {

enum class NetError {
  None,
  Cancelled,  // the caller's cancel flag
  Stopped,    // the caller's body sink asked to stop
  TooLarge,   // more body than the request's byte cap
  HostNotFound,
  NetworkUnreachable,
  HostUnreachable,
  ConnectionRefused,
  NoConnection,  // the connect time-out passed
  NoAnswer,      // the deadline (or the low-speed limit) passed once connected
  EmptyReply,
  ConnectionLost,  // also a body shorter or longer than its Content-Length
  TooManyRedirects,
  NotValidAnswer,
  UntrustedCertificate,
  TlsError,
  Other,  // NetResult::detail says what
};

struct NetResult {
  NetError error = NetError::None;
  int status = 0;           // the HTTP or RTSP status, when an answer came
  std::string address;      // the address that answered, after redirects
  std::string contentType;  // as the server gave it
  std::int64_t bytes = 0;   // body bytes taken by the sink
  // The limit that ran out, for NoConnection and NoAnswer.
  std::chrono::milliseconds waited{0};
  std::string detail;  // libcurl's own words, for Other
};

// The short reason for a failed request (error not None).
std::string FailureText(const NetResult& result);

}  // namespace telvanta::platform
