#include "health/PlayWatch.h"

#include <algorithm>

#include "common/I18n.h"
#include "platform/player/StreamAddress.h"

namespace telvanta::health {

using platform::PlayerPhase;

void PlayWatch::Began(const std::string& url) {
  url_ = url;
  decided_ = !platform::IsNetworkAddress(url);
}

std::optional<std::pair<std::string, CheckOutcome>> PlayWatch::Update(
    const std::vector<PlayerState>& players) {
  if (decided_ || players.empty()) {
    return std::nullopt;
  }
  const auto playing = [](const PlayerState& p) { return p.phase == PlayerPhase::Playing; };
  const auto failed = [](const PlayerState& p) { return p.phase == PlayerPhase::Failed; };
  if (std::any_of(players.begin(), players.end(), playing)) {
    decided_ = true;
    return std::pair{url_, Alive()};
  }
  if (std::all_of(players.begin(), players.end(), failed)) {
    decided_ = true;
    std::string reason = players.front().errorText;
    if (!reason.empty() && reason.back() == '.') {
      reason.pop_back();
    }
    return std::pair{url_, Failed(reason.empty() ? N_("Cannot open the stream") : reason)};
  }
  return std::nullopt;
}

}  // namespace telvanta::health
