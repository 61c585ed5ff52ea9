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

DesktopPlayer::DesktopPlayer(Gtk::Window& window, std::function<void(const std::string&)> replay)
    : window_(window), replay_(std::move(replay)) {
  platform::MprisActions actions;
  actions.raise = [this] { window_.present(); };
  actions.quit = [this] { window_.close(); };
  actions.play = [this] { Play(); };
  actions.pause = [this] { Command(platform::PlayerCommand::Pause); };
  actions.stop = [this] { Command(platform::PlayerCommand::Stop); };
  service_ = std::make_unique<platform::MprisService>(std::string(ApplicationTitle), DesktopEntryId,
                                                      std::move(actions));
  connections_.push_back(window_.property_title().signal_changed().connect([this] { Update(); }));
}

void DesktopPlayer::Attach(platform::BrowserView& browser) {
  browser_ = &browser;
  connections_.push_back(browser_->signal_players_changed().connect([this] { Update(); }));
}

std::vector<platform::PlayerInfo> DesktopPlayer::Players() const {
  return browser_ != nullptr ? browser_->Players() : std::vector<platform::PlayerInfo>{};
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
  service_->Update(
      platform::DescribePlay(station, Reports(Players()), playNumber_, !lastAddress_.empty()));
}

void DesktopPlayer::Play() {
  if (Players().empty()) {
    if (!lastAddress_.empty() && replay_) {
      replay_(lastAddress_);
    }
    return;
  }
  Command(platform::PlayerCommand::Play);
}

void DesktopPlayer::Command(platform::PlayerCommand command) {
  if (browser_ != nullptr) {
    browser_->CommandPlayers(command);
  }
  Update();
}

}  // namespace telvanta
