#pragma once
// Reading one value of an INI text the way the Windows profile reader does:
// section and key names compare without regard to ASCII letter case, blanks
// around names and values are dropped, a value in matching quotes loses them,
// and a value is cut to its first 2047 characters (a 2048-character buffer).
// Pure; any thread.

#include <cstddef>
#include <string>
#include <string_view>

namespace telvanta {

inline constexpr std::size_t ProfileValueLimit = 2047;

// The value of `key` in the first section named `section` that has the key;
// `defaultValue` (cut the same way) when there is none. Lines end in LF or
// CR LF; lines starting with ";" are comments; a UTF-8 byte order mark at the
// start is skipped.
std::string GetPrivateProfileString(std::string_view iniText, std::string_view section,
                                    std::string_view key, std::string_view defaultValue);

}  // namespace telvanta
