// What the desktop hears about a play: status from the page's players,
// metadata, and which properties a change announces.

#include "platform/mpris/MprisState.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace telvanta::platform {
namespace {

using Phase = PlayerPhase;

struct VariantUnref {
  void operator()(GVariant* v) const { g_variant_unref(v); }
};
using Variant = std::unique_ptr<GVariant, VariantUnref>;

PlayerReport Report(Phase phase, std::string nowPlaying = {}, std::string streamName = {},
                    std::string address = "http://127.0.0.1/a") {
  return {phase, std::move(nowPlaying), std::move(streamName), std::move(address)};
}

Variant Property(const MediaState& state, std::string_view name) {
  return Variant(g_variant_ref_sink(PlayerProperty(state, name)));
}

// The Metadata dictionary printed value by value.
std::map<std::string, std::string> MetadataOf(const MediaState& state) {
  const Variant metadata = Property(state, "Metadata");
  std::map<std::string, std::string> entries;
  GVariantIter iter;
  g_variant_iter_init(&iter, metadata.get());
  const gchar* key = nullptr;
  GVariant* value = nullptr;
  while (g_variant_iter_next(&iter, "{&sv}", &key, &value)) {
    gchar* text = g_variant_print(value, TRUE);
    entries[key] = text;
    g_free(text);
    g_variant_unref(value);
  }
  return entries;
}

TEST(MprisStateTest, StatusFollowsTheMostActivePlayer) {
  const struct {
    std::vector<Phase> phases;
    PlaybackStatus status;
  } cases[] = {
      {{}, PlaybackStatus::Stopped},
      {{Phase::Ready}, PlaybackStatus::Stopped},
      {{Phase::Resolving}, PlaybackStatus::Playing},
      {{Phase::Connecting}, PlaybackStatus::Playing},
      {{Phase::Buffering}, PlaybackStatus::Playing},
      {{Phase::Playing}, PlaybackStatus::Playing},
      {{Phase::Paused}, PlaybackStatus::Paused},
      {{Phase::Stopped, Phase::Paused}, PlaybackStatus::Paused},
      {{Phase::Paused, Phase::Playing}, PlaybackStatus::Playing},
      {{Phase::Ended, Phase::Failed, Phase::Stopped}, PlaybackStatus::Stopped},
  };
  for (const auto& c : cases) {
    std::vector<PlayerReport> players;
    for (const Phase phase : c.phases) players.push_back(Report(phase));
    const MediaState state = DescribePlay({.station = "Station", .playNumber = 1}, players);
    EXPECT_EQ(state.status, c.status) << players.size() << " players";
    EXPECT_EQ(state.canPlay, !players.empty());
  }
}

TEST(MprisStateTest, MetadataNamesTheSongOverTheStation) {
  const std::vector<PlayerReport> silent = {Report(Phase::Playing, "", "Loop FM")};
  const std::vector<PlayerReport> singing = {Report(Phase::Playing, "Artist - Song")};
  const std::vector<PlayerReport> stoppedSinging = {Report(Phase::Stopped, "Artist - Song")};
  using Entries = std::map<std::string, std::string>;
  const struct {
    const char* what;
    MediaState state;
    Entries metadata;
  } cases[] = {
      {"nothing played yet", DescribePlay({.station = "", .playNumber = 0}, {}), {}},
      {"station without a song",
       DescribePlay({.station = "Canada - Echo", .playNumber = 3, .canReplay = true}, silent),
       {{"mpris:trackid", "objectpath '/org/telvanta/Telvanta/Play/3'"},
        {"xesam:title", "'Canada - Echo'"},
        {"xesam:album", "'Canada - Echo'"},
        {"xesam:url", "'http://127.0.0.1/a'"}}},
      {"the stream's own name when no entry was chosen",
       DescribePlay({.station = "", .playNumber = 4, .canReplay = true}, silent),
       {{"mpris:trackid", "objectpath '/org/telvanta/Telvanta/Play/4'"},
        {"xesam:title", "'Loop FM'"},
        {"xesam:album", "'Loop FM'"},
        {"xesam:url", "'http://127.0.0.1/a'"}}},
      {"a song on a station",
       DescribePlay({.station = "Canada - Echo", .playNumber = 5, .canReplay = true}, singing),
       {{"mpris:trackid", "objectpath '/org/telvanta/Telvanta/Play/5'"},
        {"xesam:title", "'Artist - Song'"},
        {"xesam:artist", "['Canada - Echo']"},
        {"xesam:album", "'Canada - Echo'"},
        {"xesam:url", "'http://127.0.0.1/a'"}}},
      // An address opened by hand while a station's caption stays up.
      {"an address without a name of its own",
       DescribePlay({.station = "", .playNumber = 7, .canReplay = true}, {Report(Phase::Playing)}),
       {{"mpris:trackid", "objectpath '/org/telvanta/Telvanta/Play/7'"},
        {"xesam:title", "'http://127.0.0.1/a'"},
        {"xesam:url", "'http://127.0.0.1/a'"}}},
      {"a stopped stream's last song is gone",
       DescribePlay({.station = "Canada - Echo", .playNumber = 6, .canReplay = true},
                    stoppedSinging),
       {{"mpris:trackid", "objectpath '/org/telvanta/Telvanta/Play/6'"},
        {"xesam:title", "'Canada - Echo'"},
        {"xesam:album", "'Canada - Echo'"},
        {"xesam:url", "'http://127.0.0.1/a'"}}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MetadataOf(c.state), c.metadata) << c.what;
  }
}

TEST(MprisStateTest, EveryListedPropertyHasAValueOfItsType) {
  const MediaState state = DescribePlay({.station = "Echo", .playNumber = 1, .canReplay = true},
                                        {Report(Phase::Playing)});
  const std::map<std::string_view, const char*> types = {
      {"PlaybackStatus", "s"}, {"Rate", "d"},        {"Metadata", "a{sv}"}, {"Position", "x"},
      {"Volume", "d"},         {"MinimumRate", "d"}, {"MaximumRate", "d"},  {"CanGoNext", "b"},
      {"CanGoPrevious", "b"},  {"CanPlay", "b"},     {"CanPause", "b"},     {"CanSeek", "b"},
      {"CanControl", "b"}};
  ASSERT_EQ(PlayerPropertyNames().size(), types.size());
  for (const std::string_view name : PlayerPropertyNames()) {
    const Variant value = Property(state, name);
    ASSERT_TRUE(value) << name;
    EXPECT_STREQ(g_variant_get_type_string(value.get()), types.at(name)) << name;
  }
  EXPECT_EQ(PlayerProperty(state, "Shuffle"), nullptr);
}

TEST(MprisStateTest, ChangesNameOnlyThePropertiesThatDiffer) {
  const PlayerReport playing = Report(Phase::Playing);
  PlayerReport paused = playing;
  paused.phase = Phase::Paused;
  PlayerReport singing = playing;
  singing.nowPlaying = "Song";
  const MediaState idle;
  const MediaState first =
      DescribePlay({.station = "Echo", .playNumber = 1, .canReplay = true}, {playing});
  using Names = std::vector<std::string>;
  const struct {
    const char* what;
    MediaState before;
    MediaState after;
    Names changed;
  } cases[] = {
      {"the same", first, first, {}},
      {"first play", idle, first, {"PlaybackStatus", "Metadata", "CanPlay", "CanPause"}},
      {"pause",
       first,
       DescribePlay({.station = "Echo", .playNumber = 1, .canReplay = true}, {paused}),
       {"PlaybackStatus"}},
      {"a song starts",
       first,
       DescribePlay({.station = "Echo", .playNumber = 1, .canReplay = true}, {singing}),
       {"Metadata"}},
      {"the page's players go",
       first,
       DescribePlay({.station = "Echo", .playNumber = 1, .canReplay = true}, {}),
       {"PlaybackStatus", "Metadata", "CanPause"}},
      {"the volume",
       first,
       DescribePlay({.station = "Echo", .playNumber = 1, .canReplay = true, .volume = 0.3},
                    {playing}),
       {"Volume"}},
      {"a station after it shows in the list",
       first,
       DescribePlay({.station = "Echo", .playNumber = 1, .canReplay = true, .canGoNext = true},
                    {playing}),
       {"CanGoNext"}},
      {"the next play",
       first,
       DescribePlay({.station = "Echo", .playNumber = 2, .canReplay = true}, {playing}),
       {"Metadata"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChangedPlayerProperties(c.before, c.after), c.changed) << c.what;
  }
}

}  // namespace
}  // namespace telvanta::platform
