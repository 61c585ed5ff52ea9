#include "app/windows/DesktopPlayer.h"

#include "common/Captions.h"

namespace telvanta {
namespace {

// The menu entry's id, as installed.
constexpr const char* DesktopEntryId = "org.telvanta.Telvanta";

std::vector<platform::PlayerReport> Reports(const std::vector<platform::PlayerInfo>& players) {
  std::vector<platform::PlayerReport> reports;
  reports.reserve(players.size());
  for (const auto& player : players) {
    reports.push_back({player.phase, player.nowPlaying, player.stationName,
                       player.currentAddress.empty() ? player.address : player.currentAddress});
  }
  return reports;
}

}  // namespace

DesktopPlayer::DesktopPlayer(Gtk::Window& window, platform::WebBrowser& browser,
                             std::function<void(const std::string&)> replay)
    : window_(window), browser_(browser), replay_(std::move(replay)) {
  platform::MprisActions actions;
  actions.raise = [this] { window_.present(); };
  actions.quit = [this] { window_.close(); };
  actions.play = [this] { Play(); };
  actions.pause = [this] { Command(platform::PlayerCommand::Pause); };
  actions.stop = [this] { Command(platform::PlayerCommand::Stop); };
  service_ = std::make_unique<platform::MprisService>(std::string(ApplicationTitle), DesktopEntryId,
                                                      std::move(actions));
  connections_.push_back(window_.property_title().signal_changed().connect([this] { Update(); }));
  connections_.push_back(browser_.signal_players_changed().connect([this] { Update(); }));
}

DesktopPlayer::~DesktopPlayer() {
  for (auto& connection : connections_) {
    connection.disconnect();
  }
}

void DesktopPlayer::Played(const std::string& address) {
  lastAddress_ = address;
  ++playNumber_;
  Update();
}

void DesktopPlayer::Update() {
  const std::string station =
      platform::StationOfCaption(window_.get_title().raw(), ApplicationTitle);
  service_->Update(platform::DescribePlay(station, Reports(browser_.Players()), playNumber_,
                                          !lastAddress_.empty()));
}

void DesktopPlayer::Play() {
  if (browser_.Players().empty()) {
    if (!lastAddress_.empty() && replay_) {
      replay_(lastAddress_);
    }
    return;
  }
  Command(platform::PlayerCommand::Play);
}

void DesktopPlayer::Command(platform::PlayerCommand command) {
  browser_.CommandPlayers(command);
  Update();
}

}  // namespace telvanta
