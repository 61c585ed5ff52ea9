#include "health/CheckOutcome.h"

#include <array>
#include <utility>

namespace telvanta::health {

std::string StatusReason(int status, bool rtsp) {
  static constexpr std::array<std::pair<int, const char*>, 16> kPhrases{{
      {400, "Bad Request"},
      {401, "Unauthorized"},
      {403, "Forbidden"},
      {404, "Not Found"},
      {405, "Method Not Allowed"},
      {406, "Not Acceptable"},
      {408, "Request Timeout"},
      {410, "Gone"},
      {451, "Unavailable For Legal Reasons"},
      {453, "Not Enough Bandwidth"},
      {454, "Session Not Found"},
      {500, "Internal Server Error"},
      {501, "Not Implemented"},
      {502, "Bad Gateway"},
      {503, "Service Unavailable"},
      {504, "Gateway Timeout"},
  }};
  for (const auto& [code, phrase] : kPhrases) {
    if (code == status) {
      return std::to_string(status) + " " + phrase;
    }
  }
  return std::string(rtsp ? "RTSP" : "HTTP") + " error " + std::to_string(status);
}

}  // namespace telvanta::health
