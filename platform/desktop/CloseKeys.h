#pragma once
// The desktop's keys for closing a dialog or a secondary window: Escape and
// Ctrl+W. They close the window as its title bar's button does (its own
// delete handler runs), before any widget inside sees the key: for windows
// with no widget of their own use for these keys. UI thread only.

#include <gtkmm.h>

namespace telvanta::platform {

void CloseWithKeys(Gtk::Window& window);

}  // namespace telvanta::platform
