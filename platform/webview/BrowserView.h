#pragma once
// What the windows see of the embedded browser and its media plug-ins. The
// browser itself lives in a module loaded once the first window is up (see
// WebModule.h), so the windows hold it through this interface.

#include <gtkmm.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/player/PlayerElement.h"
#include "platform/player/PlayerGeometry.h"
#include "platform/player/PlayerStatus.h"

namespace telvanta::platform {

// The RealPlayer plug-in's windows carry this name; the main window's mouse
// hook holds right clicks back from them.
inline constexpr const char* kRealPlayerWidgetName = "PNGUIClass";
inline constexpr const char* kWindowsMediaWidgetName = "WindowsMediaPlayer";

enum class PlayerCommand { Play, Pause, Stop };

enum class ReadyState { Uninitialized = 0, Loading = 1, Loaded = 2, Interactive = 3, Complete = 4 };

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
  int volume = 100;         // as the engine plays it, 0 to 100
  std::string stationName;  // what heads the player
  std::string streamName;   // the name the stream gives itself, if any
  std::string nowPlaying;
  PixelRect box;      // allocation within the browser
  PixelRect picture;  // where the picture is drawn within the player
  bool visible = false;
  Gtk::Widget* widget = nullptr;
};

class BrowserView {
 public:
  virtual ~BrowserView() = default;

  // The widget to pack; owned by the view.
  virtual Gtk::Widget& Widget() = 0;
  // Shows a local page file (absolute path). Returns at once.
  virtual void Navigate(const std::string& filePath) = 0;
  // Starts opening a stream that the next page's player element will show,
  // so that the stream and the page load side by side; the element takes
  // the running player over. A page without that element drops it.
  virtual void StartPlayer(const std::string& address) = 0;
  // Stops loading and every hosted player.
  virtual void Stop() = 0;
  virtual ReadyState GetReadyState() const = 0;
  // The page and what it loads have arrived (the browser's download-complete).
  virtual sigc::signal<void()>& signal_download_complete() = 0;
  // The hosted players in page order, with what they are doing.
  virtual std::vector<PlayerInfo> Players() const = 0;
  // Gives every hosted player a command, as its own menu would.
  virtual void CommandPlayers(PlayerCommand command) = 0;
  // A player came, went, or changed what it is doing or playing.
  virtual sigc::signal<void()>& signal_players_changed() = 0;

  // The name the players started from now on give their station (a list
  // entry's text); empty: the stream's own name, else its address.
  virtual void SetStationName(const std::string& name) = 0;
  // The volume of every player, now and from now on: 0 to 100.
  virtual void SetVolume(int volume) = 0;
  virtual int Volume() const = 0;
  // The volume changed to another value, by SetVolume or by the user on a
  // player (once a slider is let go).
  virtual sigc::signal<void(int)>& signal_volume_changed() = 0;
  // A key for the first player: Space play/pause, M mute, F full screen,
  // Escape out of it, Up/Down or 0/9 volume. False for other keys, with a
  // modifier, or when a control of the player's own bar has the focus and
  // uses the key itself (Space on its buttons, arrows on its slider).
  virtual bool HandlePlayerKey(const GdkEventKey& event) = 0;
};

}  // namespace telvanta::platform
