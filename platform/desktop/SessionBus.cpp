#include "platform/desktop/SessionBus.h"

namespace telvanta::platform {

ApplicationBus RegisteredApplicationBus() {
  GApplication* app = g_application_get_default();
  if (app == nullptr || !g_application_get_is_registered(app)) {
    return {};
  }
  return {true, g_application_get_dbus_connection(app)};
}

}  // namespace telvanta::platform
