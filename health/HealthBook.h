#pragma once
// The health of every checked station as the program knows it: read from
// health.db once, kept in memory, and each new check handed to a writer
// thread, so the file never holds this thread. A file that cannot be read
// costs only the earlier checks' marks; one that can't take new checks keeps
// them for the session. UI thread (the one running the default main loop).

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "health/CheckOutcome.h"
#include "health/HealthStore.h"
#include "health/HealthWriter.h"

namespace telvanta::health {

class HealthBook : public CheckSink {
 public:
  // health.db in the user's data folder.
  HealthBook();
  explicit HealthBook(const std::filesystem::path& file);
  ~HealthBook() override;
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
  // Why the file can't be used (earlier checks not read, or new ones not
  // saved), or "".
  const std::string& Problem() const { return problem_; }
  // Called after each Record with its address.
  void OnChange(std::function<void(const std::string& url)> changed) {
    changed_ = std::move(changed);
  }
  // What the user should hear of the file (a damaged one set aside; new
  // checks that can't be saved, once), from the main loop.
  void OnTrouble(std::function<void(const std::string& text)> tell) { tell_ = std::move(tell); }

 private:
  // From any thread.
  void TellLater(const std::string& text, bool unsaved);

  HealthMap map_;
  std::string problem_;
  std::function<void(const std::string&)> changed_;
  std::function<void(const std::string&)> tell_;
  // Outlives the writer, whose thread takes weak copies until it ends; what
  // they post after the book is gone is dropped.
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
  std::unique_ptr<HealthWriter> writer_;
};

}  // namespace telvanta::health
