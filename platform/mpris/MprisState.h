#pragma once
// What Telvanta tells the desktop through MPRIS (org.mpris.MediaPlayer2.Player):
// whether it plays, what it plays and what may be asked of it. Values only;
// the bus is the desktop block's business.
//
// Metadata: xesam:title is the stream's now-playing text when it sends one,
// else the station, else the address; xesam:album is the station, and
// xesam:artist is the station while a now-playing text is the title, so
// shells show the song over the station. The station is the list entry
// played, or for an address opened by hand the stream's own name once it
// gives one. The track id changes with every play.

#include <glib.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/player/PlayerStatus.h"

namespace telvanta::platform {

enum class PlaybackStatus { Stopped, Playing, Paused };

// One player of the page, as far as the desktop cares.
struct PlayerReport {
  PlayerPhase phase = PlayerPhase::Ready;
  std::string nowPlaying;  // the stream's ICY title
  std::string streamName;  // a name the stream or its playlist gives itself
  std::string address;
};

// What the host knows of the current play.
struct PlayContext {
  std::string station;           // the list entry played; empty for an address
  std::uint64_t playNumber = 0;  // 0: nothing played yet
  bool canReplay = false;        // the address can be played again
  bool canGoNext = false;        // the list it came from has a station after it
  bool canGoPrevious = false;    // ... or before it
  double volume = 1.0;           // 0 (silent) to 1 (full)
};

struct MediaState {
  PlaybackStatus status = PlaybackStatus::Stopped;
  std::string station;
  std::string nowPlaying;
  std::string address;
  std::uint64_t playNumber = 0;  // 0: nothing played yet
  bool canPlay = false;          // something to resume or play again
  bool canGoNext = false;
  bool canGoPrevious = false;
  double volume = 1.0;

  bool operator==(const MediaState&) const = default;
};

// The state of a play from the page's players.
MediaState DescribePlay(const PlayContext& play, const std::vector<PlayerReport>& players);

const char* PlaybackStatusName(PlaybackStatus status);
// A D-Bus object path naming the play.
std::string TrackId(std::uint64_t playNumber);

// The Player interface's properties, in the order GetAll gives them.
const std::vector<std::string_view>& PlayerPropertyNames();
// A new floating value of a Player property; nullptr for a name it lacks.
GVariant* PlayerProperty(const MediaState& state, std::string_view name);
// The Player properties whose values differ between two states.
std::vector<std::string> ChangedPlayerProperties(const MediaState& before, const MediaState& after);

}  // namespace telvanta::platform
