#pragma once
// One media plug-in over the page: the picture, what the player is doing,
// and (Windows Media style) its own right-click menu.

#include <gtkmm.h>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/browser/PlayerController.h"
#include "platform/browser/VideoSurface.h"
#include "platform/player/PlayerElement.h"

namespace telvanta::platform {

// The RealPlayer plug-in's windows carry this name; the main window's mouse
// hook holds right clicks back from them.
inline constexpr const char* kRealPlayerWidgetName = "PNGUIClass";
inline constexpr const char* kWindowsMediaWidgetName = "WindowsMediaPlayer";

// A hosted player as tests and the host see it.
struct PlayerInfo {
  PlayerKind kind = PlayerKind::WindowsMedia;
  std::string type;
  std::string widgetName;
  std::string address;         // the element's
  std::string currentAddress;  // the one being opened or played
  PlayerPhase phase = PlayerPhase::Ready;
  std::string statusText;
  std::string errorText;
  double timePos = 0;
  VideoSize video;
  std::uint64_t framesRendered = 0;
  bool audioOnly = false;
  bool muted = false;
  std::string stationName;
  std::string nowPlaying;
  PixelRect box;      // allocation within the browser
  PixelRect picture;  // where the picture is drawn within the player
  bool visible = false;
  Gtk::Widget* widget = nullptr;
};

class PlayerWidget : public Gtk::EventBox {
 public:
  PlayerWidget(const PlayerElement& element, const std::string& pageTitle,
               const PlayerSettings& settings);
  ~PlayerWidget() override;

  // The same element moved, resized or changed its params.
  void UpdateElement(const PlayerElement& element, const std::string& pageTitle);
  const PlayerElement& Element() const { return element_; }
  VideoSize NaturalVideoSize() const;
  PlayerInfo Info() const;
  PlayerController& Controller() { return controller_; }
  Gtk::Menu* ContextMenu() { return element_.kind == PlayerKind::WindowsMedia ? &menu_ : nullptr; }
  void ToggleFullScreen();
  bool IsFullScreen() const { return fullScreen_ != nullptr; }

  sigc::signal<void()>& signal_video_size_changed() { return videoSizeChanged_; }
  sigc::signal<void(GdkEventScroll*)>& signal_wheel() { return wheel_; }

 protected:
  bool on_button_press_event(GdkEventButton* event) override;
  bool on_scroll_event(GdkEventScroll* event) override;

 private:
  void BuildMenu();
  void UpdateMenu();
  void OnChanged();
  void OnFrame();
  void UpdateRenderSize();
  std::string StationName() const;

  PlayerElement element_;
  std::string pageTitle_;
  PlayerController controller_;
  Gtk::Overlay overlay_;
  VideoSurface surface_;
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
};

}  // namespace telvanta::platform
