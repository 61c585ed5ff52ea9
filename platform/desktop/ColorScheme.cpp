#include "platform/desktop/ColorScheme.h"

#include <gtkmm.h>

#include <cstring>

#include "platform/desktop/SessionBus.h"
#include "platform/glib/GObjectPtr.h"

namespace telvanta::platform {

namespace {

constexpr const char* kPortal = "org.freedesktop.portal.Desktop";
constexpr const char* kPath = "/org/freedesktop/portal/desktop";
constexpr const char* kSettings = "org.freedesktop.portal.Settings";
constexpr const char* kNamespace = "org.freedesktop.appearance";
constexpr const char* kKey = "color-scheme";
constexpr guint32 kPreferDark = 1;

// The dark preference the program had before the portal spoke: a portal
// with no preference gives it back.
bool ownPreference = false;

// Read boxes the value in one variant more than SettingChanged does.
void Apply(GVariantPtr value) {
  while (g_variant_is_of_type(value.get(), G_VARIANT_TYPE_VARIANT)) {
    value.reset(g_variant_get_variant(value.get()));
  }
  auto settings = Gtk::Settings::get_default();
  if (!settings || !g_variant_is_of_type(value.get(), G_VARIANT_TYPE_UINT32)) {
    return;
  }
  settings->property_gtk_application_prefer_dark_theme() =
      ownPreference || g_variant_get_uint32(value.get()) == kPreferDark;
}

void OnSettingChanged(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                      GVariant* parameters, gpointer) {
  const gchar* space = nullptr;
  const gchar* key = nullptr;
  GVariant* value = nullptr;
  g_variant_get(parameters, "(&s&s@v)", &space, &key, &value);
  GVariantPtr owned(value);
  if (std::strcmp(space, kNamespace) == 0 && std::strcmp(key, kKey) == 0) {
    Apply(std::move(owned));
  }
}

void OnRead(GObject* bus, GAsyncResult* result, gpointer) {
  GError* failure = nullptr;
  GVariantPtr reply(g_dbus_connection_call_finish(G_DBUS_CONNECTION(bus), result, &failure));
  GErrorPtr error(failure);
  if (!reply) {
    g_debug("The desktop's colour scheme is unknown: %s", error->message);
    return;
  }
  GVariant* value = nullptr;
  g_variant_get(reply.get(), "(@v)", &value);
  Apply(GVariantPtr(value));
}

void OnPortalAppeared(GDBusConnection* bus, const gchar*, const gchar*, gpointer) {
  g_dbus_connection_call(bus, kPortal, kPath, kSettings, "Read",
                         g_variant_new("(ss)", kNamespace, kKey), G_VARIANT_TYPE("(v)"),
                         G_DBUS_CALL_FLAGS_NONE, -1, nullptr, &OnRead, nullptr);
}

void Follow(GDBusConnection* connection) {
  // Kept for the run: the subscription and the watch need the connection.
  static GObjectPtr<GDBusConnection> bus;
  bus.reset(connection);
  if (!bus) {
    return;
  }
  g_dbus_connection_signal_subscribe(bus.get(), kPortal, kSettings, "SettingChanged", kPath,
                                     kNamespace, G_DBUS_SIGNAL_FLAGS_NONE, &OnSettingChanged,
                                     nullptr, nullptr);
  g_bus_watch_name_on_connection(bus.get(), kPortal, G_BUS_NAME_WATCHER_FLAGS_AUTO_START,
                                 &OnPortalAppeared, nullptr, nullptr, nullptr);
}

void OnBus(GObject*, GAsyncResult* result, gpointer) { Follow(g_bus_get_finish(result, nullptr)); }

}  // namespace

void FollowDesktopColorScheme() {
  static bool following = false;
  if (following) {
    return;
  }
  following = true;
  if (auto settings = Gtk::Settings::get_default()) {
    ownPreference = settings->property_gtk_application_prefer_dark_theme();
  }
  if (const ApplicationBus app = RegisteredApplicationBus(); app.registered) {
    if (app.connection != nullptr) {
      Follow(G_DBUS_CONNECTION(g_object_ref(app.connection)));
    }
    return;
  }
  g_bus_get(G_BUS_TYPE_SESSION, nullptr, &OnBus, nullptr);
}

}  // namespace telvanta::platform
