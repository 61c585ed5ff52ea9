#pragma once
// Writes check results into health.db on a thread of its own, so that a
// slow or locked file never holds the thread that hands them over. Results
// the file can't take yet are kept and offered again with the next ones,
// every few seconds, and a last time when the writer goes.

#include <condition_variable>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "health/HealthStore.h"

namespace telvanta::health {

class HealthWriter {
 public:
  // What the user should hear: that results can't be saved and why (once),
  // or that a damaged file was set aside.
  using Told = std::function<void(const std::string& text, bool unsaved)>;

  // `told` runs on the writer's thread.
  HealthWriter(std::filesystem::path file, Told told);
  // Offers what is still kept once more, then ends the thread.
  ~HealthWriter();
  HealthWriter(const HealthWriter&) = delete;
  HealthWriter& operator=(const HealthWriter&) = delete;

  // From any thread; never waits for the file.
  void Write(HealthResult result);

 private:
  void Run();
  bool Save(const std::vector<HealthResult>& results);

  const std::filesystem::path file_;
  const Told told_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::vector<HealthResult> handed_;
  bool stopping_ = false;
  // The writer's thread alone.
  std::unique_ptr<HealthStore> store_;
  bool toldUnsaved_ = false;
  std::thread thread_;  // last: starts once the rest is ready
};

}  // namespace telvanta::health
