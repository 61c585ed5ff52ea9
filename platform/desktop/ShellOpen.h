#pragma once
// Hands an address (web page, mailto:, file) to the desktop's default handler.
// Help addresses ("mk:@MSITStore:...", a .chm file) open in the program's own
// help window instead. Failures are not reported, as users expect of a link.
// UI thread only.

#include <string>

namespace telvanta::platform {

enum class ShowMode { Normal, Maximized };

void ShellOpen(const std::string& address, ShowMode mode = ShowMode::Normal);

}  // namespace telvanta::platform
