#pragma once
// The session bus as the registered application found it. Looking the bus up
// again blocks the calling thread on an address lookup which, with no session
// bus, forks dbus-launch every time; the application has asked once already.

#include <gio/gio.h>

namespace telvanta::platform {

struct ApplicationBus {
  // False when no application is registered: ask the bus yourself.
  bool registered = false;
  // Borrowed from the application; null when it found no session bus.
  GDBusConnection* connection = nullptr;
};

ApplicationBus RegisteredApplicationBus();

}  // namespace telvanta::platform
