#pragma once
// What one check of a station's address found, and the short reasons the
// user reads in a row's tool tip ("404 Not Found", "Connection refused").

#include <string>

namespace telvanta::health {

enum class CheckVerdict {
  Alive,
  Failed,
  Unchecked,  // a transport we cannot check (rtmp://, udp://, ...): not recorded
};

struct CheckOutcome {
  CheckVerdict verdict = CheckVerdict::Unchecked;
  std::string reason;  // why it failed, or why it was not checked
  bool operator==(const CheckOutcome&) const = default;
};

inline CheckOutcome Alive() { return {CheckVerdict::Alive, {}}; }
inline CheckOutcome Failed(std::string reason) { return {CheckVerdict::Failed, std::move(reason)}; }

// "404 Not Found"; a status without a known phrase reads "HTTP error 599"
// (or "RTSP error ...").
std::string StatusReason(int status, bool rtsp = false);

// Where each play's own outcome goes: a play counts as a check too.
class CheckSink {
 public:
  virtual ~CheckSink() = default;
  virtual void RecordCheck(const std::string& url, const CheckOutcome& outcome) = 0;
};

}  // namespace telvanta::health
