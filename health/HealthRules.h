#pragma once
// What the list shows of a station's checks: its state, whether it failed
// its last two checks, and the tool tip ("404 Not Found, 2 hours ago").

#include <cstdint>
#include <string>

#include "health/HealthStore.h"

namespace telvanta::health {

enum class HealthState {
  Unknown,  // never checked, or not for a long time
  Alive,
  FailedRecently,
};

// Checks older than this say nothing about the station today.
inline constexpr std::int64_t kStaleAfterSeconds = 30 * 24 * 3600;

HealthState StateOf(const StationHealth& health, std::int64_t now);

// Both of the last two checks failed (the list may hide such stations).
bool FailedLastTwo(const StationHealth& health);

// "just now", "5 minutes ago", "2 hours ago", "3 days ago", "6 weeks ago".
std::string RelativeTime(std::int64_t then, std::int64_t now);

// The row's tool tip: "Alive, 5 minutes ago", "404 Not Found, 2 hours ago",
// a second line when the check before failed too; "Not checked yet".
std::string HealthTip(const StationHealth& health, std::int64_t now);

// Seconds since 1970, now.
std::int64_t UnixNow();

}  // namespace telvanta::health
