#include "platform/desktop/MprisService.h"

#include <unistd.h>

#include <utility>
#include <vector>

#include "platform/desktop/SessionBus.h"
#include "platform/glib/GObjectPtr.h"
#include "platform/glib/PostToUi.h"

namespace telvanta::platform {
namespace {

constexpr const char* kObjectPath = "/org/mpris/MediaPlayer2";
constexpr const char* kRootInterface = "org.mpris.MediaPlayer2";
constexpr const char* kPlayerInterface = "org.mpris.MediaPlayer2.Player";

// Volume is the one property the desktop may set: a live stream has one speed.
constexpr const char* kIntrospection = R"(
<node>
  <interface name="org.mpris.MediaPlayer2">
    <method name="Raise"/>
    <method name="Quit"/>
    <property name="CanQuit" type="b" access="read"/>
    <property name="CanRaise" type="b" access="read"/>
    <property name="HasTrackList" type="b" access="read"/>
    <property name="Identity" type="s" access="read"/>
    <property name="DesktopEntry" type="s" access="read"/>
    <property name="SupportedUriSchemes" type="as" access="read"/>
    <property name="SupportedMimeTypes" type="as" access="read"/>
  </interface>
  <interface name="org.mpris.MediaPlayer2.Player">
    <method name="Next"/>
    <method name="Previous"/>
    <method name="Pause"/>
    <method name="PlayPause"/>
    <method name="Stop"/>
    <method name="Play"/>
    <method name="Seek"><arg direction="in" name="Offset" type="x"/></method>
    <method name="SetPosition">
      <arg direction="in" name="TrackId" type="o"/>
      <arg direction="in" name="Position" type="x"/>
    </method>
    <method name="OpenUri"><arg direction="in" name="Uri" type="s"/></method>
    <signal name="Seeked"><arg name="Position" type="x"/></signal>
    <property name="PlaybackStatus" type="s" access="read"/>
    <property name="Rate" type="d" access="read"/>
    <property name="Metadata" type="a{sv}" access="read"/>
    <property name="Volume" type="d" access="readwrite"/>
    <property name="Position" type="x" access="read"/>
    <property name="MinimumRate" type="d" access="read"/>
    <property name="MaximumRate" type="d" access="read"/>
    <property name="CanGoNext" type="b" access="read"/>
    <property name="CanGoPrevious" type="b" access="read"/>
    <property name="CanPlay" type="b" access="read"/>
    <property name="CanPause" type="b" access="read"/>
    <property name="CanSeek" type="b" access="read"/>
    <property name="CanControl" type="b" access="read"/>
  </interface>
</node>)";

struct NodeInfoUnref {
  void operator()(GDBusNodeInfo* info) const { g_dbus_node_info_unref(info); }
};

}  // namespace

const GDBusInterfaceVTable* MprisService::VTable() {
  static const GDBusInterfaceVTable table = {
      OnMethodCallThunk, OnGetPropertyThunk, OnSetPropertyThunk, {}};
  return &table;
}

// Everything held on the bus, released in reverse.
struct MprisService::Bus {
  guint pendingOwn = 0;  // the idle that owns the name
  guint owner = 0;
  GObjectPtr<GDBusConnection> connection;
  std::vector<guint> registrations;
  std::unique_ptr<GDBusNodeInfo, NodeInfoUnref> node{
      g_dbus_node_info_new_for_xml(kIntrospection, nullptr)};

  ~Bus() {
    if (pendingOwn != 0) {
      g_source_remove(pendingOwn);
    }
    for (const guint id : registrations) {
      g_dbus_connection_unregister_object(connection.get(), id);
    }
    if (owner != 0) {
      g_bus_unown_name(owner);
    }
  }
};

MprisService::MprisService(std::string identity, std::string desktopEntry, MprisActions actions)
    : identity_(std::move(identity)),
      desktopEntry_(std::move(desktopEntry)),
      actions_(std::move(actions)),
      bus_(std::make_unique<Bus>()) {
  // Finding the session bus blocks when no registered application found it
  // first (without one it even tries to start one); not while the first
  // window comes up.
  bus_->pendingOwn = g_idle_add_full(
      G_PRIORITY_LOW,
      [](gpointer self) {
        auto* service = static_cast<MprisService*>(self);
        service->bus_->pendingOwn = 0;
        service->Own(kBusName);
        return G_SOURCE_REMOVE;
      },
      this, nullptr);
}

MprisService::~MprisService() {
  *alive_ = false;
  bus_.reset();
}

void MprisService::Own(const std::string& name) {
  if (bus_->owner != 0) {
    g_bus_unown_name(bus_->owner);
  }
  bus_->owner = 0;
  if (const ApplicationBus app = RegisteredApplicationBus(); app.registered) {
    if (app.connection == nullptr) {
      return;  // no session bus
    }
    // The objects first: a desktop that sees the name asks for them at once.
    Register(app.connection);
    bus_->owner = g_bus_own_name_on_connection(app.connection, name.c_str(),
                                               G_BUS_NAME_OWNER_FLAGS_DO_NOT_QUEUE, OnNameAcquired,
                                               OnNameLost, this, nullptr);
    return;
  }
  bus_->owner =
      g_bus_own_name(G_BUS_TYPE_SESSION, name.c_str(), G_BUS_NAME_OWNER_FLAGS_DO_NOT_QUEUE,
                     OnBusAcquired, OnNameAcquired, OnNameLost, this, nullptr);
}

void MprisService::OnBusAcquired(GDBusConnection* connection, const gchar* /*name*/,
                                 gpointer self) {
  static_cast<MprisService*>(self)->Register(connection);
}

void MprisService::Register(GDBusConnection* connection) {
  if (bus_->connection.get() == connection) {
    return;  // the instance name comes over the same connection
  }
  bus_->connection.reset(G_DBUS_CONNECTION(g_object_ref(connection)));
  for (const char* interface : {kRootInterface, kPlayerInterface}) {
    GDBusInterfaceInfo* info = g_dbus_node_info_lookup_interface(bus_->node.get(), interface);
    const guint id = g_dbus_connection_register_object(connection, kObjectPath, info, VTable(),
                                                       this, nullptr, nullptr);
    if (id != 0) {
      bus_->registrations.push_back(id);
    }
  }
}

void MprisService::OnNameAcquired(GDBusConnection* /*connection*/, const gchar* name,
                                  gpointer self) {
  static_cast<MprisService*>(self)->busName_ = name;
}

void MprisService::OnNameLost(GDBusConnection* connection, const gchar* /*name*/, gpointer self) {
  auto& service = *static_cast<MprisService*>(self);
  service.busName_.clear();
  if (connection == nullptr || service.triedInstanceName_) {
    return;  // no session bus, or both names taken: play on unseen
  }
  service.triedInstanceName_ = true;
  // Not from inside the callback of the owner it replaces.
  service.RunSoon(
      [&service] { service.Own(std::string(kBusName) + ".instance" + std::to_string(getpid())); });
}

void MprisService::RunSoon(const std::function<void()>& action) {
  std::weak_ptr<bool> alive = alive_;
  PostToUi([alive, action] {
    if (const auto token = alive.lock(); token && *token && action) {
      action();
    }
  });
}

void MprisService::OnMethodCallThunk(GDBusConnection* /*connection*/, const gchar* /*sender*/,
                                     const gchar* /*path*/, const gchar* /*interface*/,
                                     const gchar* method, GVariant* /*parameters*/,
                                     GDBusMethodInvocation* invocation, gpointer self) {
  static_cast<MprisService*>(self)->OnMethodCall(method, invocation);
}

void MprisService::OnMethodCall(std::string_view method, GDBusMethodInvocation* invocation) {
  if (method == "OpenUri") {
    g_dbus_method_invocation_return_error_literal(invocation, G_DBUS_ERROR,
                                                  G_DBUS_ERROR_NOT_SUPPORTED,
                                                  "Telvanta opens no addresses from the bus");
    return;
  }
  g_dbus_method_invocation_return_value(invocation, nullptr);
  // After the reply: Quit takes this service down with the window.
  const std::pair<std::string_view, const std::function<void()>*> actions[] = {
      {"Raise", &actions_.raise},
      {"Quit", &actions_.quit},
      {"Play", &actions_.play},
      {"Pause", &actions_.pause},
      {"Stop", &actions_.stop},
      {"Next", &actions_.next},
      {"Previous", &actions_.previous},
      {"PlayPause", state_.status == PlaybackStatus::Playing ? &actions_.pause : &actions_.play},
  };
  for (const auto& [name, action] : actions) {
    if (name == method) {
      RunSoon(*action);
    }
  }
}

GVariant* MprisService::OnGetPropertyThunk(GDBusConnection* /*connection*/, const gchar* /*sender*/,
                                           const gchar* /*path*/, const gchar* interface,
                                           const gchar* property, GError** error, gpointer self) {
  const auto& service = *static_cast<MprisService*>(self);
  GVariant* value = std::string_view(interface) == kRootInterface
                        ? service.RootProperty(property)
                        : PlayerProperty(service.state_, property);
  if (value == nullptr) {
    g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_PROPERTY, "No property %s", property);
  }
  return value;
}

gboolean MprisService::OnSetPropertyThunk(GDBusConnection* /*connection*/, const gchar* /*sender*/,
                                          const gchar* /*path*/, const gchar* /*interface*/,
                                          const gchar* property, GVariant* value, GError** error,
                                          gpointer self) {
  auto& service = *static_cast<MprisService*>(self);
  // Only Volume is writable (the introspection says so, and GDBus checks it).
  if (std::string_view(property) != "Volume" || !service.actions_.setVolume) {
    g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_PROPERTY_READ_ONLY, "%s is read-only", property);
    return FALSE;
  }
  const double volume = g_variant_get_double(value);
  service.RunSoon([&service, volume] { service.actions_.setVolume(volume); });
  return TRUE;
}

GVariant* MprisService::RootProperty(std::string_view name) const {
  if (name == "CanQuit" || name == "CanRaise") {
    return g_variant_new_boolean(true);
  }
  if (name == "HasTrackList") {
    return g_variant_new_boolean(false);
  }
  if (name == "Identity") {
    return g_variant_new_string(identity_.c_str());
  }
  if (name == "DesktopEntry") {
    return g_variant_new_string(desktopEntry_.c_str());
  }
  if (name == "SupportedUriSchemes" || name == "SupportedMimeTypes") {
    return g_variant_new_strv(nullptr, 0);
  }
  return nullptr;
}

void MprisService::Update(const MediaState& state) {
  const std::vector<std::string> changed = ChangedPlayerProperties(state_, state);
  state_ = state;
  if (changed.empty() || !bus_->connection) {
    return;
  }
  GVariantBuilder values;
  g_variant_builder_init(&values, G_VARIANT_TYPE_VARDICT);
  for (const auto& name : changed) {
    g_variant_builder_add(&values, "{sv}", name.c_str(), PlayerProperty(state_, name));
  }
  g_dbus_connection_emit_signal(bus_->connection.get(), nullptr, kObjectPath,
                                "org.freedesktop.DBus.Properties", "PropertiesChanged",
                                g_variant_new("(sa{sv}as)", kPlayerInterface, &values, nullptr),
                                nullptr);
}

}  // namespace telvanta::platform
