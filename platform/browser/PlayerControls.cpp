#include "platform/browser/PlayerControls.h"

#include <string>

#include "common/I18n.h"
#include "platform/desktop/ScreenStyle.h"

namespace telvanta::platform {
namespace {

constexpr int kVolumeStep = 5;
constexpr int kSliderWidth = 90;

// The bar keeps its own light-on-dark look over any picture, skin or theme:
// above the skins' priority, below the user's own style sheet.
constexpr guint kBarStylePriority = GTK_STYLE_PROVIDER_PRIORITY_APPLICATION + 100;

void InstallBarStyle() {
  InstallScreenStyle(
      ".telvanta-player-bar { background-color: rgba(16, 16, 16, 0.8); padding: 2px 4px; }"
      ".telvanta-player-bar button { color: #f2f2f2; background: none; border: none;"
      "  box-shadow: none; text-shadow: none; -gtk-icon-shadow: none; padding: 4px;"
      "  min-width: 24px; min-height: 24px; border-radius: 3px; outline-color: #f2f2f2; }"
      ".telvanta-player-bar button:hover { background-color: rgba(255, 255, 255, 0.18); }"
      ".telvanta-player-bar button:active { background-color: rgba(255, 255, 255, 0.3); }"
      ".telvanta-player-bar scale { padding: 0 6px; outline-color: #f2f2f2; }"
      ".telvanta-player-bar scale trough { background: rgba(255, 255, 255, 0.3); border: none;"
      "  min-height: 4px; border-radius: 2px; }"
      ".telvanta-player-bar scale highlight { background: #f2f2f2; border: none;"
      "  border-radius: 2px; }"
      ".telvanta-player-bar scale slider { background: #f2f2f2; border: none; box-shadow: none;"
      "  min-width: 12px; min-height: 12px; margin: -5px; border-radius: 6px; }",
      kBarStylePriority);
}

bool IsAny(guint key, std::initializer_list<guint> keys) {
  for (const guint k : keys) {
    if (key == k) {
      return true;
    }
  }
  return false;
}

}  // namespace

PlayerControls::PlayerControls() : Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 2) {
  InstallBarStyle();
  set_name("PlayerControls");
  get_style_context()->add_class("telvanta-player-bar");
  pack_start(AddButton(playPauseButton_, "PlayPauseButton", playPause_), Gtk::PACK_SHRINK);
  pack_start(AddButton(stopButton_, "StopButton", stop_), Gtk::PACK_SHRINK);
  pack_end(AddButton(fullScreenButton_, "FullScreenButton", fullScreen_), Gtk::PACK_SHRINK);
  volumeSlider_.set_name("VolumeSlider");
  volumeSlider_.set_range(0, 100);
  volumeSlider_.set_increments(kVolumeStep, 2 * kVolumeStep);
  volumeSlider_.set_digits(0);
  volumeSlider_.set_draw_value(false);
  volumeSlider_.set_focus_on_click(false);
  volumeSlider_.set_size_request(kSliderWidth, -1);
  volumeSlider_.set_tooltip_text(_("Volume (Up, Down)"));
  volumeSlider_.get_accessible()->set_name(_("Volume"));
  volumeSlider_.signal_value_changed().connect(
      sigc::mem_fun(*this, &PlayerControls::OnVolumeMoved));
  // A drag is one choice, told when the slider is let go.
  volumeSlider_.signal_button_press_event().connect(
      [this](GdkEventButton*) {
        dragging_ = true;
        return false;
      },
      false);
  volumeSlider_.signal_button_release_event().connect(
      [this](GdkEventButton*) {
        dragging_ = false;
        volume_.emit(static_cast<int>(volumeSlider_.get_value()), true);
        return false;
      },
      false);
  volumeSlider_.signal_focus_in_event().connect([this](GdkEventFocus*) {
    attention_.emit();
    return false;
  });
  pack_end(volumeSlider_, Gtk::PACK_SHRINK);
  pack_end(AddButton(muteButton_, "MuteButton", mute_), Gtk::PACK_SHRINK);
  show_all_children();
  SetState(state_);
}

Gtk::Button& PlayerControls::AddButton(Gtk::Button& button, const char* name,
                                       sigc::signal<void()>& pressed) {
  button.set_name(name);
  button.set_relief(Gtk::RELIEF_NONE);
  // A click leaves the keys with the player; Tab still reaches the button.
  button.set_focus_on_click(false);
  button.set_image(*Gtk::make_managed<Gtk::Image>());
  button.signal_clicked().connect([&pressed] { pressed.emit(); });
  button.signal_focus_in_event().connect([this](GdkEventFocus*) {
    attention_.emit();
    return false;
  });
  return button;
}

void PlayerControls::SetButton(Gtk::Button& button, const char* icon, const char* caption) {
  if (auto* image = dynamic_cast<Gtk::Image*>(button.get_image())) {
    image->set_from_icon_name(icon, Gtk::ICON_SIZE_BUTTON);
  }
  button.set_tooltip_text(caption);
  // The caption without its key, for screen readers.
  const std::string name = caption;
  button.get_accessible()->set_name(name.substr(0, name.find(" (")));
}

void PlayerControls::SetState(const ControlsState& state) {
  if (state == state_ && shownOnce_) {
    return;
  }
  shownOnce_ = true;
  state_ = state;
  SetButton(playPauseButton_,
            state.running ? "media-playback-pause-symbolic" : "media-playback-start-symbolic",
            state.running ? _("Pause (Space)") : _("Play (Space)"));
  SetButton(stopButton_, "media-playback-stop-symbolic", _("Stop"));
  stopButton_.set_sensitive(state.canStop);
  SetButton(muteButton_, state.muted ? "audio-volume-muted-symbolic" : "audio-volume-high-symbolic",
            state.muted ? _("Unmute (M)") : _("Mute (M)"));
  SetButton(fullScreenButton_,
            state.fullScreen ? "view-restore-symbolic" : "view-fullscreen-symbolic",
            state.fullScreen ? _("Exit Full Screen (Esc)") : _("Full Screen (F)"));
  fullScreenButton_.set_visible(state.canFullScreen);
  if (!dragging_) {
    updating_ = true;
    volumeSlider_.set_value(state.volume);
    updating_ = false;
  }
}

void PlayerControls::OnVolumeMoved() {
  if (!updating_) {
    volume_.emit(static_cast<int>(volumeSlider_.get_value()), !dragging_);
  }
}

bool PlayerControls::FocusInside() {
  auto* window = dynamic_cast<Gtk::Window*>(get_toplevel());
  Gtk::Widget* focus = window != nullptr ? window->get_focus() : nullptr;
  return focus != nullptr && focus->is_ancestor(*this);
}

bool PlayerControls::FocusUses(const GdkEventKey& event) {
  if (!FocusInside()) {
    return false;
  }
  auto* window = dynamic_cast<Gtk::Window*>(get_toplevel());
  if (window->get_focus() == &volumeSlider_) {
    return IsAny(event.keyval, {GDK_KEY_Up, GDK_KEY_Down, GDK_KEY_Left, GDK_KEY_Right, GDK_KEY_Home,
                                GDK_KEY_End, GDK_KEY_Page_Up, GDK_KEY_Page_Down});
  }
  return IsAny(event.keyval, {GDK_KEY_space, GDK_KEY_Return, GDK_KEY_KP_Enter});
}

bool PlayerControls::PointerInside() {
  const Glib::RefPtr<Gdk::Window> window = get_window();
  if (!window || !get_mapped()) {
    return false;
  }
  int x = 0;
  int y = 0;
  Gdk::ModifierType mask;
  window->get_device_position(get_display()->get_default_seat()->get_pointer(), x, y, mask);
  // Without a window of its own, the bar is placed in its parent's.
  const Gtk::Allocation area = get_allocation();
  return x >= area.get_x() && y >= area.get_y() && x < area.get_x() + area.get_width() &&
         y < area.get_y() + area.get_height();
}

}  // namespace telvanta::platform
