#pragma once
// The control bar a player draws along the bottom of its box: play or
// pause, stop, mute, the volume and full screen. It shows the player's state
// and tells what the user asked; the player decides what that means.

#include <gtkmm.h>

namespace telvanta::platform {

struct ControlsState {
  bool running = false;  // playing or opening: the first button pauses
  bool canStop = false;
  bool muted = false;
  int volume = 100;
  bool fullScreen = false;
  bool canFullScreen = false;  // a picture to show
  bool operator==(const ControlsState&) const = default;
};

class PlayerControls : public Gtk::Box {
 public:
  PlayerControls();

  // Shows the state; tells nothing back.
  void SetState(const ControlsState& state);
  bool PointerInside();
  bool FocusInside();
  // Whether the focused control of the bar uses this key itself: Space and
  // Enter press its buttons, arrows and the like move its slider.
  bool FocusUses(const GdkEventKey& event);

  sigc::signal<void()>& signal_play_pause() { return playPause_; }
  sigc::signal<void()>& signal_stop() { return stop_; }
  sigc::signal<void()>& signal_mute() { return mute_; }
  sigc::signal<void()>& signal_full_screen() { return fullScreen_; }
  // The slider moved: live while it is dragged (settled false), and once
  // more when it is let go, or at once for a key or the wheel.
  sigc::signal<void(int volume, bool settled)>& signal_volume() { return volume_; }
  // The keyboard focus came into the bar.
  sigc::signal<void()>& signal_attention() { return attention_; }

 private:
  Gtk::Button& AddButton(Gtk::Button& button, const char* name, sigc::signal<void()>& pressed);
  void SetButton(Gtk::Button& button, const char* icon, const char* caption);
  void OnVolumeMoved();

  Gtk::Button playPauseButton_;
  Gtk::Button stopButton_;
  Gtk::Button muteButton_;
  Gtk::Scale volumeSlider_{Gtk::ORIENTATION_HORIZONTAL};
  Gtk::Button fullScreenButton_;
  ControlsState state_;
  bool shownOnce_ = false;
  bool updating_ = false;
  bool dragging_ = false;
  sigc::signal<void()> playPause_;
  sigc::signal<void()> stop_;
  sigc::signal<void()> mute_;
  sigc::signal<void()> fullScreen_;
  sigc::signal<void(int, bool)> volume_;
  sigc::signal<void()> attention_;
};

}  // namespace telvanta::platform
