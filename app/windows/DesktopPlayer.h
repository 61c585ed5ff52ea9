#pragma once
// The main window as the desktop's media player (MPRIS): what plays, read
// off the play and the page's players, and the desktop's play, pause, stop,
// next, previous and volume handed to those players and to the list the
// play came from.

#include <gtkmm.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/desktop/MprisService.h"
#include "platform/webview/BrowserView.h"
#include "playback/PlayTarget.h"

namespace telvanta {

class DesktopPlayer {
 public:
  // `replay` plays an address again once its page has no player left.
  DesktopPlayer(Gtk::Window& window, std::function<void(const std::string&)> replay);
  ~DesktopPlayer();
  DesktopPlayer(const DesktopPlayer&) = delete;
  DesktopPlayer& operator=(const DesktopPlayer&) = delete;

  // The browser whose players are told and controlled, once it exists.
  void Attach(platform::BrowserView& browser);
  // A new play of `address` has begun: a station of `list` named by its
  // entry text, or (both empty) an address opened by hand.
  void Played(const std::string& address, const std::string& station, StationSequence* list);
  // Tells the desktop what changed.
  void Update();
  const platform::MprisService& Service() const { return *service_; }

 private:
  void Play();
  void Command(platform::PlayerCommand command);
  void Move(int step);
  void SetVolume(double volume);

  std::vector<platform::PlayerInfo> Players() const;

  Gtk::Window& window_;
  platform::BrowserView* browser_ = nullptr;
  std::function<void(const std::string&)> replay_;
  std::string lastAddress_;
  std::string station_;
  StationSequence* list_ = nullptr;
  std::uint64_t playNumber_ = 0;
  std::unique_ptr<platform::MprisService> service_;
  std::vector<sigc::connection> connections_;
};

}  // namespace telvanta
