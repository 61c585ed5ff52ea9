#include "health/HealthBook.h"

#include <glib.h>

#include "common/Error.h"
#include "common/Files.h"
#include "health/HealthRules.h"

namespace telvanta::health {

HealthBook::HealthBook() : HealthBook(UserDataFolder() / HealthFileName) {}

HealthBook::HealthBook(const std::filesystem::path& file) {
  try {
    store_ = std::make_unique<HealthStore>(file);
    map_ = store_->LoadAll();
  } catch (const Error& error) {
    store_.reset();
    problem_ = std::string(error.what()) + ". Station health is not kept in this session.";
    g_warning("%s", problem_.c_str());
  }
}

HealthBook::~HealthBook() = default;

void HealthBook::Record(const std::string& url, const CheckOutcome& outcome, std::int64_t now) {
  if (outcome.verdict == CheckVerdict::Unchecked || url.empty()) {
    return;
  }
  const CheckEntry entry{now, outcome.verdict == CheckVerdict::Alive, outcome.reason};
  StationHealth& health = map_[url];
  health.previous = std::move(health.last);
  health.last = entry;
  if (store_) {
    try {
      store_->Record(url, entry);
    } catch (const Error& error) {
      store_.reset();
      problem_ = std::string(error.what()) + ". Station health is not kept in this session.";
      g_warning("%s", problem_.c_str());
    }
  }
  if (changed_) {
    changed_(url);
  }
}

void HealthBook::RecordCheck(const std::string& url, const CheckOutcome& outcome) {
  Record(url, outcome, UnixNow());
}

StationHealth HealthBook::Health(const std::string& url) const {
  const StationHealth* found = Find(url);
  return found != nullptr ? *found : StationHealth{};
}

const StationHealth* HealthBook::Find(const std::string& url) const {
  const auto found = map_.find(url);
  return found != map_.end() ? &found->second : nullptr;
}

}  // namespace telvanta::health
