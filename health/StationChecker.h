#pragma once
// Checks station addresses from the user's machine, politely: a few
// connections at once (one platform::RequestGroup), short time-outs, and
// never more than the first kilobytes of a stream. Playlists are followed to
// their first entry; rtsp:// gets an OPTIONS request; mms:// is asked over
// HTTP as a Windows Media player would (MMSH).

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "health/CheckOutcome.h"

namespace telvanta::health {

struct CheckLimits {
  std::size_t maxConnections = 8;
  std::chrono::milliseconds connectTimeout{std::chrono::seconds(5)};
  // From the request until enough of a stream to play from (a playlist: its
  // whole text); a stream slower than that fails.
  std::chrono::milliseconds answerTimeout{std::chrono::seconds(8)};
  std::size_t maxBytes = 64 * 1024;
  int maxPlaylistDepth = 4;
};

// Called on the checking thread, never at once.
struct CheckCallbacks {
  // The outcome for urls[index].
  std::function<void(std::size_t index, const CheckOutcome& outcome)> result;
  std::function<void(std::size_t done, std::size_t total)> progress;
};

// Checks every address, at most limits.maxConnections at a time; returns
// when all are done or soon (within about 100 ms) after `cancel` is set,
// without reporting the rest. Blocking: run it on a worker.
void CheckStations(const std::vector<std::string>& urls, const CheckLimits& limits,
                   const CheckCallbacks& callbacks, const std::atomic<bool>& cancel);

// One check at a time on a thread of its own.
class StationChecker {
 public:
  explicit StationChecker(CheckLimits limits = {});
  // Cancels a running check and waits for its thread.
  ~StationChecker();
  StationChecker(const StationChecker&) = delete;
  StationChecker& operator=(const StationChecker&) = delete;

  // Starts checking; a check still running is cancelled first. `finished`
  // comes last, on the checking thread, with whether it was cancelled.
  void Start(std::vector<std::string> urls, CheckCallbacks callbacks,
             std::function<void(bool cancelled)> finished);
  void Cancel();

 private:
  void Join();

  CheckLimits limits_;
  std::atomic<bool> cancel_{false};
  std::thread thread_;
};

}  // namespace telvanta::health
