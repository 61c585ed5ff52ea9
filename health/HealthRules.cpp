#include "health/HealthRules.h"

#include "common/I18n.h"

#include <chrono>

namespace telvanta::health {
namespace {

// "%1 minutes ago" and the like, in the plural form the count takes.
std::string Ago(std::int64_t n, const char* (*text)(unsigned long)) {
  return Substitute(text(static_cast<unsigned long>(n)), {std::to_string(n)});
}

// Reasons are kept in English in health.db and shown in the user's language.
std::string EntryText(const CheckEntry& entry, std::int64_t now) {
  return Substitute(_("%1, %2"), {entry.alive ? _("Alive") : Translate(entry.reason),
                                  RelativeTime(entry.at, now)});
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
    return _("just now");
  }
  if (seconds < hour) {
    return Ago(seconds / minute,
               [](unsigned long n) { return P_("%1 minute ago", "%1 minutes ago", n); });
  }
  if (seconds < day) {
    return Ago(seconds / hour,
               [](unsigned long n) { return P_("%1 hour ago", "%1 hours ago", n); });
  }
  if (seconds < 14 * day) {
    return Ago(seconds / day, [](unsigned long n) { return P_("%1 day ago", "%1 days ago", n); });
  }
  return Ago(seconds / (7 * day),
             [](unsigned long n) { return P_("%1 week ago", "%1 weeks ago", n); });
}

std::string HealthTip(const StationHealth& health, std::int64_t now) {
  if (!health.last) {
    return _("Not checked yet");
  }
  std::string tip = EntryText(*health.last, now);
  if (FailedLastTwo(health)) {
    tip += "\n" + Substitute(_("Failed before too: %1"), {EntryText(*health.previous, now)});
  }
  return tip;
}

std::int64_t UnixNow() {
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

}  // namespace telvanta::health
