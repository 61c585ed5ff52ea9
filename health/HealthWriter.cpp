#include "health/HealthWriter.h"

#include "common/I18n.h"

#include <chrono>
#include <iterator>
#include <utility>

namespace telvanta::health {
namespace {

using namespace std::chrono_literals;

// Another process's write takes a moment; a lock held longer is not waited
// out but tried again later.
constexpr auto kBusyWait = 250ms;
constexpr auto kRetryAfter = 3s;

constexpr const char* kKept =
    N_(". The results of checks are kept in this session and saved as soon as the file can take "
       "them.");

}  // namespace

HealthWriter::HealthWriter(std::filesystem::path file, Told told)
    : file_(std::move(file)), told_(std::move(told)), thread_([this] { Run(); }) {}

HealthWriter::~HealthWriter() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void HealthWriter::Write(HealthResult result) {
  {
    const std::lock_guard lock(mutex_);
    handed_.push_back(std::move(result));
  }
  wake_.notify_one();
}

void HealthWriter::Run() {
  std::vector<HealthResult> kept;
  bool last = false;
  while (!last) {
    {
      std::unique_lock lock(mutex_);
      const auto ready = [this] { return stopping_ || !handed_.empty(); };
      if (kept.empty()) {
        wake_.wait(lock, ready);
      } else {
        wake_.wait_for(lock, kRetryAfter, ready);
      }
      std::move(handed_.begin(), handed_.end(), std::back_inserter(kept));
      handed_.clear();
      last = stopping_;
    }
    if (!kept.empty() && Save(kept)) {
      kept.clear();
    }
  }
}

bool HealthWriter::Save(const std::vector<HealthResult>& results) {
  try {
    if (!store_) {
      std::string notice;
      store_ = OpenHealthStore(file_, kBusyWait, notice);
      if (!notice.empty()) {
        told_(notice, false);
      }
    }
    store_->Record(results);
    return true;
  } catch (const HealthFileError& error) {
    // Opened afresh next time, which sets a file damaged meanwhile aside.
    if (error.Damaged()) {
      store_.reset();
    }
    if (!toldUnsaved_) {
      toldUnsaved_ = true;
      told_(error.what() + std::string(_(kKept)), true);
    }
    return false;
  }
}

}  // namespace telvanta::health
