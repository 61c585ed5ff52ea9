#pragma once
// The settings store: typed named values under one key of the per-user hive.
// Every call loads the hive afresh; nothing is cached between calls.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace telvanta {

enum class RegRoot { CurrentUser };
inline constexpr RegRoot HKEY_CURRENT_USER = RegRoot::CurrentUser;
inline constexpr std::string_view SettingsKey = "Software\\Quillmoor\\Nivora";

enum RegKind : int { RegKindString = 1, RegKindDword = 2, RegKindBinary = 3 };

std::string ReadRegValue(RegRoot root, std::string_view keyPath, std::string_view name);
void WriteRegValue(RegRoot root, std::string_view keyPath, std::string_view name, int kind,
                   std::string_view value);
void DeleteRegValue(RegRoot root, std::string_view keyPath, std::string_view name);
// Replaces every "%SystemRoot%" (case-sensitive) with the system folder.
std::string ExpandSystemRoot(std::string_view text);

// Shorthands for the program's own key.
std::string ReadSetting(std::string_view name);
void WriteSetting(std::string_view name, std::string_view value);
void DeleteSetting(std::string_view name);

// Reads never fail for want of a writable or readable store: they give the
// stored value or the default. A hive file that can't be read or holds a line
// that can't be parsed, and a change that can't be saved, are told through
// this handler, each once a session. It runs on the calling thread, which
// may be the update worker; troubles met while no handler is set are told
// to the next one set, on the thread that sets it.
void SetRegistryWarningHandler(std::function<void(const std::string&)> handler);
// Tests keep the hive in a temporary folder; an empty path restores the default
// ($XDG_CONFIG_HOME/telvanta/settings.reg). Either way a new session begins:
// troubles are told afresh.
void SetRegistryHivePathForTesting(const std::filesystem::path& file);

}  // namespace telvanta
