#pragma once
// The desktop's colour scheme as the settings portal tells it
// (org.freedesktop.appearance color-scheme, 1: prefer dark). GTK 3 reads
// only its own dark preference, gtk-application-prefer-dark-theme; this
// keeps that preference in step with the portal, so a desktop's dark style
// reaches the program. Without a portal nothing changes. UI thread only.

namespace telvanta::platform {

// Starts following, once however often it is called: now, and whenever the
// portal appears on the session bus or its setting changes. Nothing waits
// for the bus.
void FollowDesktopColorScheme();

}  // namespace telvanta::platform
