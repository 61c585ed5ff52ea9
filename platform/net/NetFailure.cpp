#include "platform/net/NetFailure.h"

namespace telvanta::platform {
namespace {

std::string Seconds(std::chrono::milliseconds time) {
  return std::to_string((time.count() + 999) / 1000) + " s";
}

}  // namespace

std::string FailureText(const NetResult& result) {
  switch (result.error) {
    case NetError::None:
      return {};
    case NetError::Cancelled:
      return "Cancelled";
    case NetError::Stopped:
      return "Stopped";
    case NetError::TooLarge:
      return "Answer too large";
    case NetError::HostNotFound:
      return "Host not found";
    case NetError::NetworkUnreachable:
      return "Network unreachable";
    case NetError::HostUnreachable:
      return "Host unreachable";
    case NetError::ConnectionRefused:
      return "Connection refused";
    case NetError::NoConnection:
      return "No connection within " + Seconds(result.waited);
    case NetError::NoAnswer:
      return "No answer within " + Seconds(result.waited);
    case NetError::EmptyReply:
      return "Empty reply";
    case NetError::ConnectionLost:
      return "Connection lost";
    case NetError::TooManyRedirects:
      return "Too many redirects";
    case NetError::NotValidAnswer:
      return "Not a valid answer";
    case NetError::UntrustedCertificate:
      return "Untrusted certificate";
    case NetError::TlsError:
      return "TLS error";
    case NetError::Other:
      break;
  }
  return result.detail;
}

}  // namespace telvanta::platform
