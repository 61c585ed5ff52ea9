#pragma once
// What the first-frame benchmarks share: the summary of a set of runs and
// the reference they are printed beside, a bare libmpv handle opening the
// same stream.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace telvanta::bench {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::duration<double, std::milli>;

inline constexpr int kRuns = 9;
inline constexpr int kWarmUps = 1;

struct Stats {
  double median = 0;
  double p10 = 0;
  double p90 = 0;
};

// Median and the 10th and 90th percentiles (nearest rank); samples not empty.
Stats Summarise(std::vector<double> samples);

// Milliseconds from a new libmpv handle (software render, no audio output)
// to its first rendered frame of the address; nothing after 10 s. With
// warmHandle the handle is made first and the time runs from the loadfile,
// as in a player that keeps its handle between streams.
std::optional<double> PlainMpvFirstFrame(const std::string& address, bool warmHandle = false);

// One line of the table: label, median and p10-p90.
void PrintRow(const char* label, const Stats& stats);

}  // namespace telvanta::bench
