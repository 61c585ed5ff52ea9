#pragma once
// The health of every checked station as the program knows it: read from
// health.db once, kept in memory, and each new check written through. A
// file that cannot be used costs only the health marks: the book then
// keeps this run's checks in memory and says why in Problem(). UI thread.

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "health/CheckOutcome.h"
#include "health/HealthStore.h"

namespace telvanta::health {

class HealthBook : public CheckSink {
 public:
  // health.db in the user's data folder.
  HealthBook();
  explicit HealthBook(const std::filesystem::path& file);
  ~HealthBook();
  HealthBook(const HealthBook&) = delete;
  HealthBook& operator=(const HealthBook&) = delete;

  // Unchecked outcomes are not kept.
  void Record(const std::string& url, const CheckOutcome& outcome, std::int64_t now);
  void RecordCheck(const std::string& url, const CheckOutcome& outcome) override;
  // The checks of an address (none when never checked).
  StationHealth Health(const std::string& url) const;
  // The same without a copy; nullptr when never checked. Valid until the
  // next Record.
  const StationHealth* Find(const std::string& url) const;
  // Why the file is not used, or "".
  const std::string& Problem() const { return problem_; }
  // Called after each Record with its address.
  void OnChange(std::function<void(const std::string& url)> changed) {
    changed_ = std::move(changed);
  }

 private:
  std::unique_ptr<HealthStore> store_;
  HealthMap map_;
  std::string problem_;
  std::function<void(const std::string&)> changed_;
};

}  // namespace telvanta::health
