#pragma once
// What Telvanta tells the desktop through MPRIS (org.mpris.MediaPlayer2.Player):
// whether it plays, what it plays and what may be asked of it. Values only;
// the bus is the desktop block's business.
//
// Metadata: xesam:title is the stream's now-playing text when it sends one,
// else the station; xesam:album is always the station, and xesam:artist is
// the station while a now-playing text is the title, so shells show the song
// over the station. The track id changes with every play.

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

struct MediaState {
  PlaybackStatus status = PlaybackStatus::Stopped;
  std::string station;
  std::string nowPlaying;
  std::string address;
  std::uint64_t playNumber = 0;  // 0: nothing played yet
  bool canPlay = false;          // something to resume or play again

  bool operator==(const MediaState&) const = default;
};

// The entry text out of "<title> - <entry>"; empty for any other caption.
std::string StationOfCaption(std::string_view caption, std::string_view applicationTitle);

// The state of play number `playNumber` from the page's players. `station`
// is the list entry; when empty, the stream's own name stands in.
MediaState DescribePlay(const std::string& station, const std::vector<PlayerReport>& players,
                        std::uint64_t playNumber, bool canReplay);

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
