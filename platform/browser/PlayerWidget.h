#pragma once
// One media plug-in over the page: the picture, what the player is doing,
// its control bar and keys, and (Windows Media style) its own right-click
// menu. The bar stays up while there is no picture (an audio stream, a
// connection under way); over a picture it comes with the pointer's
// movement or the keyboard focus and goes a few seconds after them.

#include <gtkmm.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/browser/PlayerController.h"
#include "platform/browser/PlayerControls.h"
#include "platform/browser/VideoSurface.h"
#include "platform/player/PlayerElement.h"
#include "platform/webview/BrowserView.h"

namespace telvanta::platform {

class PlayerWidget : public Gtk::EventBox {
 public:
  // `controller` plays the element's address; it may have started before
  // the page showed the element. `stationName` names what it plays (a list
  // entry's text); empty: the stream's own name, else its address.
  PlayerWidget(const PlayerElement& element, const std::string& stationName,
               std::unique_ptr<PlayerController> controller);
  ~PlayerWidget() override;

  // Off the page between plays: leaves full screen and gives its player up,
  // so that its engine is free for the next. Nothing else may be asked of
  // the widget until Retarget gives it the next page's element and player.
  void Release();
  void Retarget(const PlayerElement& element, const std::string& stationName,
                std::unique_ptr<PlayerController> controller);
  // The same element moved, resized or changed its params.
  void UpdateElement(const PlayerElement& element);
  const PlayerElement& Element() const { return element_; }
  VideoSize NaturalVideoSize() const;
  PlayerInfo Info() const;
  PlayerController& Controller() { return *controller_; }
  Gtk::Menu* ContextMenu() { return element_.kind == PlayerKind::WindowsMedia ? &menu_ : nullptr; }
  void ToggleFullScreen();
  bool IsFullScreen() const { return fullScreen_ != nullptr; }
  // The player's keys (see BrowserView::HandlePlayerKey); true when taken.
  bool HandleKey(const GdkEventKey& event);

  sigc::signal<void()>& signal_video_size_changed() { return videoSizeChanged_; }
  sigc::signal<void(GdkEventScroll*)>& signal_wheel() { return wheel_; }
  // The user chose a volume on this player: its slider let go, or a key.
  sigc::signal<void(int)>& signal_volume_chosen() { return volumeChosen_; }

 protected:
  bool on_button_press_event(GdkEventButton* event) override;
  bool on_scroll_event(GdkEventScroll* event) override;
  bool on_motion_notify_event(GdkEventMotion* event) override;
  void on_size_allocate(Gtk::Allocation& allocation) override;

 private:
  void Follow(const PlayerElement& element);
  void BuildMenu();
  void UpdateMenu();
  void OnChanged();
  void OnFrame();
  void UpdateRenderSize();
  std::string StationName() const;
  bool ShowsPicture() const;
  bool CanFullScreen() const;
  // Play or pause: pauses a stream under way, stops one still opening,
  // plays otherwise.
  void TogglePlay();
  void ToggleMute();
  void LeaveFullScreenSoon();
  void ChooseVolume(int volume);
  void UpdateBar();
  void RevealBar();
  bool OnBarTimeout();

  PlayerElement element_;
  std::string stationName_;
  std::unique_ptr<PlayerController> controller_;
  std::vector<sigc::connection> controllerConnections_;
  Gtk::Overlay overlay_;
  VideoSurface surface_;
  PlayerControls bar_;
  bool barRevealed_ = false;  // over a picture, shown for a while
  sigc::connection barTimeout_;
  sigc::connection barFitIdle_;
  Gtk::Box info_{Gtk::ORIENTATION_VERTICAL, 4};
  Gtk::Label title_;
  Gtk::Label detail_;
  Gtk::Label status_;
  Gtk::Menu menu_;
  Gtk::MenuItem* playItem_ = nullptr;
  Gtk::MenuItem* pauseItem_ = nullptr;
  Gtk::MenuItem* stopItem_ = nullptr;
  Gtk::CheckMenuItem* muteItem_ = nullptr;
  Gtk::CheckMenuItem* fullScreenItem_ = nullptr;
  bool updatingMenu_ = false;
  std::unique_ptr<FullScreenWindow> fullScreen_;
  sigc::connection leaveIdle_;
  VideoSize lastVideo_;
  sigc::signal<void()> videoSizeChanged_;
  sigc::signal<void(GdkEventScroll*)> wheel_;
  sigc::signal<void(int)> volumeChosen_;
};

}  // namespace telvanta::platform
