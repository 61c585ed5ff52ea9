#pragma once
// The main window as the desktop's media player (MPRIS): what plays, read
// off the window's caption and the page's players, and the desktop's play,
// pause and stop handed to those players.

#include <gtkmm.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/desktop/MprisService.h"
#include "platform/webview/BrowserView.h"

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
  // A new play of `address` has begun.
  void Played(const std::string& address);
  const platform::MprisService& Service() const { return *service_; }

 private:
  void Update();
  void Play();
  void Command(platform::PlayerCommand command);

  std::vector<platform::PlayerInfo> Players() const;

  Gtk::Window& window_;
  platform::BrowserView* browser_ = nullptr;
  std::function<void(const std::string&)> replay_;
  std::string lastAddress_;
  std::uint64_t playNumber_ = 0;
  std::unique_ptr<platform::MprisService> service_;
  std::vector<sigc::connection> connections_;
};

}  // namespace telvanta
