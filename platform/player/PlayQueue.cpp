#include "platform/player/PlayQueue.h"

#include "platform/player/StreamAddress.h"

namespace telvanta::platform {

PlayQueue::PlayQueue(const std::string& address) {
  for (auto& attempt : Expand(address, 0)) {
    pending_.push_back(std::move(attempt));
  }
}

std::vector<PlayAttempt> PlayQueue::Expand(const std::string& address, int depth) const {
  if (NeedsMetafileResolver(PlaylistKindOf(address))) {
    return {{NormalizeScheme(address), true, depth}};
  }
  std::vector<PlayAttempt> attempts;
  for (auto& transport : TransportAttempts(address)) {
    attempts.push_back({std::move(transport), false, depth});
  }
  return attempts;
}

std::optional<PlayAttempt> PlayQueue::Next() {
  if (pending_.empty() || attempts_ >= kMaxAttempts) {
    return std::nullopt;
  }
  ++attempts_;
  PlayAttempt next = std::move(pending_.front());
  pending_.pop_front();
  return next;
}

bool PlayQueue::CountFailedEntry() {
  ++attempts_;
  return attempts_ < kMaxAttempts;
}

void PlayQueue::InsertEntries(const std::vector<std::string>& entries, int depth) {
  if (depth > kMaxDepth) {
    return;
  }
  std::vector<PlayAttempt> expanded;
  for (const auto& entry : entries) {
    for (auto& attempt : Expand(entry, depth)) {
      expanded.push_back(std::move(attempt));
    }
  }
  pending_.insert(pending_.begin(), expanded.begin(), expanded.end());
}

void PlayQueue::RetryAsMetafile(const PlayAttempt& attempt) {
  const bool web =
      attempt.address.starts_with("http://") || attempt.address.starts_with("https://");
  if (attempt.viaResolver || !web || attempt.depth >= kMaxDepth) {
    return;
  }
  pending_.push_front({attempt.address, true, attempt.depth});
}

}  // namespace telvanta::platform
