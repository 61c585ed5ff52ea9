#include "platform/mpris/MprisState.h"

#include <algorithm>
#include <memory>

#include "platform/glib/GObjectPtr.h"

namespace telvanta::platform {
namespace {

PlaybackStatus StatusOf(const std::vector<PlayerReport>& players) {
  const auto has = [&](auto test) { return std::any_of(players.begin(), players.end(), test); };
  if (has([](const PlayerReport& p) { return IsUnderWay(p.phase); })) {
    return PlaybackStatus::Playing;
  }
  if (has([](const PlayerReport& p) { return p.phase == PlayerPhase::Paused; })) {
    return PlaybackStatus::Paused;
  }
  return PlaybackStatus::Stopped;
}

// The first player that has the field filled.
std::string FirstOf(const std::vector<PlayerReport>& players, std::string PlayerReport::*field) {
  for (const auto& player : players) {
    if (!(player.*field).empty()) {
      return player.*field;
    }
  }
  return {};
}

void AddText(GVariantBuilder& builder, const char* key, const std::string& text) {
  if (!text.empty()) {
    g_variant_builder_add(&builder, "{sv}", key, g_variant_new_string(text.c_str()));
  }
}

GVariant* Metadata(const MediaState& state) {
  GVariantBuilder builder;
  g_variant_builder_init(&builder, G_VARIANT_TYPE_VARDICT);
  if (state.playNumber == 0) {
    return g_variant_builder_end(&builder);  // no track at all
  }
  const std::string trackId = TrackId(state.playNumber);
  g_variant_builder_add(&builder, "{sv}", "mpris:trackid",
                        g_variant_new_object_path(trackId.c_str()));
  const std::string& named = state.station.empty() ? state.address : state.station;
  AddText(builder, "xesam:title", state.nowPlaying.empty() ? named : state.nowPlaying);
  AddText(builder, "xesam:album", state.station);
  if (!state.nowPlaying.empty() && !state.station.empty()) {
    const gchar* artists[] = {state.station.c_str(), nullptr};
    g_variant_builder_add(&builder, "{sv}", "xesam:artist", g_variant_new_strv(artists, -1));
  }
  AddText(builder, "xesam:url", state.address);
  return g_variant_builder_end(&builder);
}

}  // namespace

MediaState DescribePlay(const PlayContext& play, const std::vector<PlayerReport>& players) {
  MediaState state;
  state.status = StatusOf(players);
  state.station = play.station.empty() ? FirstOf(players, &PlayerReport::streamName) : play.station;
  // A stopped stream's last song is no longer what plays.
  if (state.status != PlaybackStatus::Stopped) {
    state.nowPlaying = FirstOf(players, &PlayerReport::nowPlaying);
  }
  state.address = FirstOf(players, &PlayerReport::address);
  state.playNumber = play.playNumber;
  state.canPlay = play.canReplay || !players.empty();
  state.canGoNext = play.canGoNext;
  state.canGoPrevious = play.canGoPrevious;
  state.volume = std::clamp(play.volume, 0.0, 1.0);
  return state;
}

const char* PlaybackStatusName(PlaybackStatus status) {
  switch (status) {
    case PlaybackStatus::Playing:
      return "Playing";
    case PlaybackStatus::Paused:
      return "Paused";
    case PlaybackStatus::Stopped:
      break;
  }
  return "Stopped";
}

std::string TrackId(std::uint64_t playNumber) {
  return "/org/telvanta/Telvanta/Play/" + std::to_string(playNumber);
}

const std::vector<std::string_view>& PlayerPropertyNames() {
  static const std::vector<std::string_view> names = {
      "PlaybackStatus", "Rate",        "Metadata",  "Volume",        "Position",
      "MinimumRate",    "MaximumRate", "CanGoNext", "CanGoPrevious", "CanPlay",
      "CanPause",       "CanSeek",     "CanControl"};
  return names;
}

GVariant* PlayerProperty(const MediaState& state, std::string_view name) {
  if (name == "PlaybackStatus") {
    return g_variant_new_string(PlaybackStatusName(state.status));
  }
  if (name == "Metadata") {
    return Metadata(state);
  }
  if (name == "Rate" || name == "MinimumRate" || name == "MaximumRate") {
    return g_variant_new_double(1.0);  // live streams play at their own pace
  }
  if (name == "Volume") {
    return g_variant_new_double(state.volume);
  }
  if (name == "Position") {
    return g_variant_new_int64(0);
  }
  if (name == "CanPlay") {
    return g_variant_new_boolean(state.canPlay);
  }
  if (name == "CanPause") {
    return g_variant_new_boolean(state.status != PlaybackStatus::Stopped);
  }
  if (name == "CanControl") {
    return g_variant_new_boolean(true);
  }
  if (name == "CanGoNext") {
    return g_variant_new_boolean(state.canGoNext);
  }
  if (name == "CanGoPrevious") {
    return g_variant_new_boolean(state.canGoPrevious);
  }
  if (name == "CanSeek") {
    return g_variant_new_boolean(false);
  }
  return nullptr;
}

std::vector<std::string> ChangedPlayerProperties(const MediaState& before,
                                                 const MediaState& after) {
  std::vector<std::string> changed;
  for (const std::string_view name : PlayerPropertyNames()) {
    const GVariantPtr old(g_variant_ref_sink(PlayerProperty(before, name)));
    const GVariantPtr now(g_variant_ref_sink(PlayerProperty(after, name)));
    if (!g_variant_equal(old.get(), now.get())) {
      changed.emplace_back(name);
    }
  }
  return changed;
}

}  // namespace telvanta::platform
