#include "health/HealthBook.h"

#include <glib.h>

#include <chrono>

#include "common/Files.h"
#include "health/HealthRules.h"
#include "platform/glib/PostToUi.h"

namespace telvanta::health {

HealthBook::HealthBook() : HealthBook(UserDataFolder() / HealthFileName) {}

HealthBook::HealthBook(const std::filesystem::path& file) {
  try {
    // Never waits for a lock here: readers of the journalled file aren't
    // held by a writer, and a file locked otherwise costs only the marks.
    std::string notice;
    const auto store = OpenHealthStore(file, std::chrono::milliseconds(0), notice);
    map_ = store->LoadAll();
    if (!notice.empty()) {
      TellLater(notice, false);
    }
  } catch (const HealthFileError& error) {
    // The writer tells it if new checks can't be saved either.
    problem_ = error.what();
    g_warning("%s", problem_.c_str());
  }
  writer_ = std::make_unique<HealthWriter>(
      file, [this](const std::string& text, bool unsaved) { TellLater(text, unsaved); });
}

HealthBook::~HealthBook() = default;

void HealthBook::TellLater(const std::string& text, bool unsaved) {
  g_warning("%s", text.c_str());
  platform::PostToUi([this, alive = std::weak_ptr<int>(alive_), text, unsaved] {
    if (!alive.lock()) {
      return;
    }
    if (unsaved && problem_.empty()) {
      problem_ = text;
    }
    if (tell_) {
      tell_(text);
    }
  });
}

void HealthBook::Record(const std::string& url, const CheckOutcome& outcome, std::int64_t now) {
  if (outcome.verdict == CheckVerdict::Unchecked || url.empty()) {
    return;
  }
  const CheckEntry entry{now, outcome.verdict == CheckVerdict::Alive, outcome.reason};
  StationHealth& health = map_[url];
  health.previous = std::move(health.last);
  health.last = entry;
  writer_->Write({url, entry});
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
