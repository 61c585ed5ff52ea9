#include "health/HealthRules.h"

#include <chrono>

namespace telvanta::health {
namespace {

std::string Count(std::int64_t n, const char* unit) {
  return std::to_string(n) + " " + unit + (n == 1 ? "" : "s") + " ago";
}

std::string EntryText(const CheckEntry& entry, std::int64_t now) {
  return (entry.alive ? std::string("Alive") : entry.reason) + ", " + RelativeTime(entry.at, now);
}

}  // namespace

HealthState StateOf(const StationHealth& health, std::int64_t now) {
  if (!health.last || now - health.last->at > kStaleAfterSeconds) {
    return HealthState::Unknown;
  }
  return health.last->alive ? HealthState::Alive : HealthState::FailedRecently;
}

bool FailedLastTwo(const StationHealth& health) {
  return health.last && health.previous && !health.last->alive && !health.previous->alive;
}

std::string RelativeTime(std::int64_t then, std::int64_t now) {
  const std::int64_t seconds = now - then;
  constexpr std::int64_t minute = 60;
  constexpr std::int64_t hour = 60 * minute;
  constexpr std::int64_t day = 24 * hour;
  if (seconds < minute) {
    return "just now";
  }
  if (seconds < hour) {
    return Count(seconds / minute, "minute");
  }
  if (seconds < day) {
    return Count(seconds / hour, "hour");
  }
  if (seconds < 14 * day) {
    return Count(seconds / day, "day");
  }
  return Count(seconds / (7 * day), "week");
}

std::string HealthTip(const StationHealth& health, std::int64_t now) {
  if (!health.last) {
    return "Not checked yet";
  }
  std::string tip = EntryText(*health.last, now);
  if (FailedLastTwo(health)) {
    tip += "\nFailed before too: " + EntryText(*health.previous, now);
  }
  return tip;
}

std::int64_t UnixNow() {
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

}  // namespace telvanta::health
