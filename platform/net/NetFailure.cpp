#include "platform/net/NetFailure.h"

#include "common/I18n.h"

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
      return N_("Cancelled");
    case NetError::Stopped:
      return N_("Stopped");
    case NetError::TooLarge:
      return N_("Answer too large");
    case NetError::HostNotFound:
      return N_("Host not found");
    case NetError::NetworkUnreachable:
      return N_("Network unreachable");
    case NetError::HostUnreachable:
      return N_("Host unreachable");
    case NetError::ConnectionRefused:
      return N_("Connection refused");
    case NetError::NoConnection:
      return "No connection within " + Seconds(result.waited);
    case NetError::NoAnswer:
      return "No answer within " + Seconds(result.waited);
    case NetError::EmptyReply:
      return N_("Empty reply");
    case NetError::ConnectionLost:
      return N_("Connection lost");
    case NetError::TooManyRedirects:
      return N_("Too many redirects");
    case NetError::NotValidAnswer:
      return N_("Not a valid answer");
    case NetError::UntrustedCertificate:
      return N_("Untrusted certificate");
    case NetError::TlsError:
      return "TLS error";
    case NetError::Other:
      break;
  }
  return result.detail;
}

}  // namespace telvanta::platform
