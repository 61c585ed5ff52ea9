#pragma once
// The state a player shows its user, and the words for it.

#include <string>

namespace telvanta::platform {

enum class PlayerPhase {
  Ready,       // loaded with autostart off, or not started yet
  Resolving,   // reading a playlist or metafile
  Connecting,  // the engine is opening the stream
  Buffering,   // opened, waiting for data
  Playing,
  Paused,
  Stopped,  // by the user
  Ended,    // the stream or file came to its end
  Failed,
};

struct PlayerStatus {
  PlayerPhase phase = PlayerPhase::Ready;
  std::string host;        // the server being contacted
  int elapsedSeconds = 0;  // while connecting
  int bufferPercent = -1;  // while buffering, when known
  std::string errorText;   // when failed
};

// Reading a list or opening the stream.
bool IsOpening(PlayerPhase phase);
// Opening, buffering or playing: what Stop ends and Play leaves alone.
bool IsUnderWay(PlayerPhase phase);

std::string StatusText(const PlayerStatus& status);
const char* PhaseName(PlayerPhase phase);

}  // namespace telvanta::platform
