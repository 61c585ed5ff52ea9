#pragma once
// Hands an address (web page, mailto:, file) to the desktop's default handler.
// Failures are not reported, as users expect of a link.

#include <string>

namespace telvanta::platform {

enum class ShowMode { Normal, Maximized };

void ShellOpen(const std::string& address, ShowMode mode = ShowMode::Normal);

}  // namespace telvanta::platform
