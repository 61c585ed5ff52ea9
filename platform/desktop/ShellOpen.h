#pragma once
// Hands an address (web page, mailto:, file) to the desktop's default handler,
// and to xdg-open when the desktop has none (a bare window manager). Help
// addresses ("mk:@MSITStore:...", a .chm file) open in the program's own help
// window instead. UI thread only.

#include <functional>
#include <string>

namespace telvanta::platform {

enum class ShowMode { Normal, Maximized };

void ShellOpen(const std::string& address, ShowMode mode = ShowMode::Normal);

// Sets an environment variable for this process and the helpers it runs
// for itself (WebKit's processes), unless the user has set it: programs
// opened through ShellOpen start without it. Call it before any thread
// starts.
void SetForOwnProcesses(const char* name, const char* value);

// Told, on the UI thread, when neither the default handler nor xdg-open
// could open an address; the text names it. Unset, the failure is logged.
using ShellOpenFailure = std::function<void(const std::string& message)>;
void SetShellOpenFailureHandler(ShellOpenFailure handler);

}  // namespace telvanta::platform
