#pragma once
// The main window's embedded browser: a WebKitGTK view that hosts our libmpv
// media plug-ins over the page's <object>/<embed> player elements.

#include <gtkmm.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/browser/PlayerWidget.h"
#include "platform/webview/BrowserView.h"

typedef struct _WebKitWebView WebKitWebView;

namespace telvanta::platform {

class WebBrowser : public Gtk::Overlay, public BrowserView {
 public:
  // Shows only pages the program writes in pageFolder (made if missing): a
  // sealed view (SealedWeb.h) whose web process may read that folder and the
  // program folder. A user's click on a web or mail link goes to the
  // desktop; every other navigation, and every new window, is refused.
  explicit WebBrowser(std::filesystem::path pageFolder);
  ~WebBrowser() override;
  WebBrowser(const WebBrowser&) = delete;
  WebBrowser& operator=(const WebBrowser&) = delete;

  Gtk::Widget& Widget() override { return *this; }

  // Shows a page file of the page folder. Returns at once; a file elsewhere
  // is refused with a warning, and the view keeps what it shows.
  void Navigate(const std::string& filePath) override;
  void StartPlayer(const std::string& address) override;
  // Stops loading and every hosted player.
  void Stop() override;
  ReadyState GetReadyState() const override;

  // The page and what it loads have arrived (the browser's download-complete).
  sigc::signal<void()>& signal_download_complete() override;

  // How players started from now on behave (audio output, time-outs, volume).
  void SetPlayerSettings(const PlayerSettings& settings);
  void SetStationName(const std::string& name) override;
  void SetVolume(int volume) override;
  int Volume() const override;
  sigc::signal<void(int)>& signal_volume_changed() override;
  bool HandlePlayerKey(const GdkEventKey& event) override;
  // The hosted players in page order, with what they are doing.
  std::vector<PlayerInfo> Players() const override;
  // Gives every hosted player a command, as its own menu would.
  void CommandPlayers(PlayerCommand command) override;
  // A player came, went, or changed what it is doing or playing.
  sigc::signal<void()>& signal_players_changed() override;
  // Runs a script in the page; `done` gets its result as text, or nullopt
  // when it failed. Not called once the browser is gone.
  void RunJavaScript(const std::string& script,
                     std::function<void(std::optional<std::string>)> done);
  void SetZoomLevel(double zoom);
  double GetZoomLevel() const;
  WebKitWebView* View();

 protected:
  bool on_get_child_position(Gtk::Widget* widget, Gdk::Rectangle& allocation) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace telvanta::platform
