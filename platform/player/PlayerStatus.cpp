#include "platform/player/PlayerStatus.h"

#include "common/I18n.h"

namespace telvanta::platform {

std::string StatusText(const PlayerStatus& status) {
  switch (status.phase) {
    case PlayerPhase::Ready:
      return _("Ready");
    case PlayerPhase::Resolving:
      return _("Opening playlist...");
    case PlayerPhase::Connecting: {
      std::string text = status.host.empty() ? _("Connecting...")
                                             : Substitute(_("Connecting to %1..."), {status.host});
      // A second or two is normal; after that the user wants to see it is still trying.
      if (status.elapsedSeconds >= 2) {
        text += " " + std::to_string(status.elapsedSeconds) + " s";
      }
      return text;
    }
    case PlayerPhase::Buffering:
      return status.bufferPercent >= 0
                 ? Substitute(_("Buffering %1%"), {std::to_string(status.bufferPercent)})
                 : _("Buffering...");
    case PlayerPhase::Playing:
      return _("Playing");
    case PlayerPhase::Paused:
      return _("Paused");
    case PlayerPhase::Stopped:
      return _("Stopped");
    case PlayerPhase::Ended:
      return _("The stream has ended.");
    case PlayerPhase::Failed:
      return status.errorText;
  }
  return {};
}

bool IsOpening(PlayerPhase phase) {
  return phase == PlayerPhase::Resolving || phase == PlayerPhase::Connecting;
}

bool IsUnderWay(PlayerPhase phase) {
  return IsOpening(phase) || phase == PlayerPhase::Buffering || phase == PlayerPhase::Playing;
}

const char* PhaseName(PlayerPhase phase) {
  switch (phase) {
    case PlayerPhase::Ready:
      return "ready";
    case PlayerPhase::Resolving:
      return "resolving";
    case PlayerPhase::Connecting:
      return "connecting";
    case PlayerPhase::Buffering:
      return "buffering";
    case PlayerPhase::Playing:
      return "playing";
    case PlayerPhase::Paused:
      return "paused";
    case PlayerPhase::Stopped:
      return "stopped";
    case PlayerPhase::Ended:
      return "ended";
    case PlayerPhase::Failed:
      return "failed";
  }
  return "";
}

}  // namespace telvanta::platform
