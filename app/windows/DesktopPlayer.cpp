#include "app/windows/DesktopPlayer.h"

#include <algorithm>
#include <cmath>

#include "common/Captions.h"
#include "widgets/ErrorDisplay.h"

namespace telvanta {
namespace {

// The menu entry's id, as installed.
constexpr const char* DesktopEntryId = "org.telvanta.Telvanta";

std::vector<platform::PlayerReport> Reports(const std::vector<platform::PlayerInfo>& players) {
  std::vector<platform::PlayerReport> reports;
  reports.reserve(players.size());
  for (const auto& player : players) {
    reports.push_back({player.phase, player.nowPlaying, player.streamName,
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
  actions.next = [this] { Move(1); };
  actions.previous = [this] { Move(-1); };
  actions.setVolume = [this](double volume) { SetVolume(volume); };
  service_ = std::make_unique<platform::MprisService>(std::string(ApplicationTitle), DesktopEntryId,
                                                      std::move(actions));
}

void DesktopPlayer::Attach(platform::BrowserView& browser) {
  browser_ = &browser;
  connections_.push_back(browser_->signal_players_changed().connect([this] { Update(); }));
  connections_.push_back(browser_->signal_volume_changed().connect([this](int) { Update(); }));
}

std::vector<platform::PlayerInfo> DesktopPlayer::Players() const {
  return browser_ != nullptr ? browser_->Players() : std::vector<platform::PlayerInfo>{};
}

DesktopPlayer::~DesktopPlayer() {
  for (auto& connection : connections_) {
    connection.disconnect();
  }
}

void DesktopPlayer::Played(const std::string& address, const std::string& station,
                           StationSequence* list) {
  lastAddress_ = address;
  station_ = station;
  list_ = list;
  ++playNumber_;
  Update();
}

void DesktopPlayer::Update() {
  const std::vector<platform::PlayerInfo> players = Players();
  // What the engine plays; the volume asked for until a player plays.
  const int volume = !players.empty()      ? players.front().volume
                     : browser_ != nullptr ? browser_->Volume()
                                           : 100;
  platform::PlayContext play;
  play.station = station_;
  play.playNumber = playNumber_;
  play.canReplay = !lastAddress_.empty();
  play.canGoNext = list_ != nullptr && list_->HasStation(1);
  play.canGoPrevious = list_ != nullptr && list_->HasStation(-1);
  play.volume = volume / 100.0;
  service_->Update(platform::DescribePlay(play, Reports(players)));
}

void DesktopPlayer::Move(int step) {
  if (list_ != nullptr && list_->HasStation(step)) {
    // A play's error is shown as the list's own play would show it.
    RunCommand([&] { list_->PlayStation(step); });
  }
}

void DesktopPlayer::SetVolume(double volume) {
  if (browser_ != nullptr && std::isfinite(volume)) {
    browser_->SetVolume(static_cast<int>(std::lround(std::clamp(volume, 0.0, 1.0) * 100)));
  }
  Update();
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
