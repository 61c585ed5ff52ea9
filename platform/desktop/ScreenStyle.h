#pragma once
// Style sheets for every window of the screen. UI thread only.

#include <gtk/gtk.h>

#include <string>

namespace telvanta::platform {

// Adds the sheet to the default screen at that priority (a GTK_STYLE_PROVIDER_
// PRIORITY_ value); a sheet already added is not added again.
void InstallScreenStyle(const std::string& css, guint priority);

}  // namespace telvanta::platform
