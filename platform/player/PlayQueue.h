#pragma once
// The addresses a player tries for one element, in order: the element's
// address, or the entries of the lists it names, each over the transports
// its scheme allows.

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace telvanta::platform {

struct PlayAttempt {
  std::string address;
  bool viaResolver = false;  // read it as a playlist/metafile, not as media
  int depth = 0;             // lists followed to reach it
  bool operator==(const PlayAttempt&) const = default;
};

class PlayQueue {
 public:
  static constexpr int kMaxDepth = 3;
  // A list of dead links must not keep a player busy for minutes.
  static constexpr int kMaxAttempts = 12;

  explicit PlayQueue(const std::string& address);

  // The next attempt; nullopt when none is left or the budget is spent.
  std::optional<PlayAttempt> Next();
  // The entries of a list take its place, in their order.
  void InsertEntries(const std::vector<std::string>& entries, int depth);
  // Counts a failed entry of a list the engine reads itself against the same
  // budget; false once it is spent and the engine must stop.
  bool CountFailedEntry();
  // A server-side list the engine could not read as media (an .asx served
  // from a script address, say) is read once more as a list.
  void RetryAsMetafile(const PlayAttempt& attempt);

 private:
  std::vector<PlayAttempt> Expand(const std::string& address, int depth) const;

  std::deque<PlayAttempt> pending_;
  int attempts_ = 0;
};

}  // namespace telvanta::platform
