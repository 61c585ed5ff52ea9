#pragma once
// Telvanta on the session bus as an MPRIS media player
// (org.mpris.MediaPlayer2 and .Player at /org/mpris/MediaPlayer2), so media
// keys, desktop shells and playerctl see and steer it. Without a session bus
// it does nothing and says nothing.
//
// UI thread only: method calls run the actions there, after their reply.

#include <gio/gio.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/mpris/MprisState.h"

namespace telvanta::platform {

struct MprisActions {
  std::function<void()> raise;
  std::function<void()> quit;
  std::function<void()> play;
  std::function<void()> pause;
  std::function<void()> stop;
  std::function<void()> next;
  std::function<void()> previous;
  // 0 (silent) to 1 (full); the desktop may ask for more or less.
  std::function<void(double)> setVolume;
};

class MprisService {
 public:
  // The well-known name to ask for first; when another player holds it, the
  // name gets an ".instance<pid>" suffix, as MPRIS allows for a second instance.
  static constexpr const char* kBusName = "org.mpris.MediaPlayer2.telvanta";

  // `desktopEntry` is the menu entry's id without ".desktop".
  MprisService(std::string identity, std::string desktopEntry, MprisActions actions);
  ~MprisService();
  MprisService(const MprisService&) = delete;
  MprisService& operator=(const MprisService&) = delete;

  // Tells listeners the Player properties that differ from the last state.
  void Update(const MediaState& state);
  const MediaState& State() const { return state_; }
  // The name held on the bus; empty while there is none.
  const std::string& BusName() const { return busName_; }

 private:
  struct Bus;
  static void OnBusAcquired(GDBusConnection* connection, const gchar* name, gpointer self);
  static void OnNameAcquired(GDBusConnection* connection, const gchar* name, gpointer self);
  static void OnNameLost(GDBusConnection* connection, const gchar* name, gpointer self);
  static const GDBusInterfaceVTable* VTable();
  static void OnMethodCallThunk(GDBusConnection* connection, const gchar* sender, const gchar* path,
                                const gchar* interface, const gchar* method, GVariant* parameters,
                                GDBusMethodInvocation* invocation, gpointer self);
  static GVariant* OnGetPropertyThunk(GDBusConnection* connection, const gchar* sender,
                                      const gchar* path, const gchar* interface,
                                      const gchar* property, GError** error, gpointer self);
  static gboolean OnSetPropertyThunk(GDBusConnection* connection, const gchar* sender,
                                     const gchar* path, const gchar* interface,
                                     const gchar* property, GVariant* value, GError** error,
                                     gpointer self);

  void Own(const std::string& name);
  void Register(GDBusConnection* connection);
  void OnMethodCall(std::string_view method, GDBusMethodInvocation* invocation);
  GVariant* RootProperty(std::string_view name) const;
  void RunSoon(const std::function<void()>& action);

  std::string identity_;
  std::string desktopEntry_;
  MprisActions actions_;
  MediaState state_;
  std::string busName_;
  bool triedInstanceName_ = false;
  std::unique_ptr<Bus> bus_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace telvanta::platform
