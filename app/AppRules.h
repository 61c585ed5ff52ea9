#pragma once
// Decisions of the application shell that need no toolkit.

#include <string_view>

namespace telvanta {

// The status bar's first panel.
inline constexpr std::string_view MakerLine = "Quillmoor 2003-2026";

// TopMost is on only for exactly "1".
bool IsTopMost(std::string_view topMostSetting);

}  // namespace telvanta
