#pragma once
// A play's own outcome counts as a check of its station: the first picture
// or sound says alive, every player of the page failing says why not. Once
// per play.

#include <optional>
#include <string>
#include <vector>

#include "health/CheckOutcome.h"
#include "platform/player/PlayerStatus.h"

namespace telvanta::health {

struct PlayerState {
  platform::PlayerPhase phase = platform::PlayerPhase::Ready;
  std::string errorText;  // when failed
};

class PlayWatch {
 public:
  // A play of `url` began; a play of an address not on the network is not
  // watched.
  void Began(const std::string& url);
  // The page's players now. Returns the address and its outcome the first
  // time the play shows one.
  std::optional<std::pair<std::string, CheckOutcome>> Update(
      const std::vector<PlayerState>& players);

 private:
  std::string url_;
  bool decided_ = true;
};

}  // namespace telvanta::health
