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
#include "platform/webview/BrowserView.h"

namespace telvanta::platform {

class PlayerWidget : public Gtk::EventBox {
 public:
  // `controller` plays the element's address; it may have started before
  // the page showed the element.
  PlayerWidget(const PlayerElement& element, const std::string& pageTitle,
               std::unique_ptr<PlayerController> controller);
  ~PlayerWidget() override;

  // The same element moved, resized or changed its params.
  void UpdateElement(const PlayerElement& element, const std::string& pageTitle);
  const PlayerElement& Element() const { return element_; }
  VideoSize NaturalVideoSize() const;
  PlayerInfo Info() const;
  PlayerController& Controller() { return *controller_; }
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
  std::unique_ptr<PlayerController> controller_;
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
