#include "settings/Settings.h"

// The settings store on the per-user hive file.

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "common/AsciiText.h"
#include "common/Error.h"
#include "common/I18n.h"
#include "platform/hive/HiveStore.h"

namespace telvanta {
namespace {

using platform::HiveKey;
using platform::HiveOutcome;
using platform::HiveStatus;
using platform::HiveStore;
using platform::HiveValue;

// Stands in for the Windows folder: where the system keeps its shared data
// (themes, fonts, sounds), without a trailing separator.
constexpr std::string_view SystemRootFolder = "/usr/share";
constexpr std::string_view SystemRootVariable = "%SystemRoot%";

struct RegistryConfig {
  std::mutex mutex;
  std::filesystem::path hiveForTesting;
  std::function<void(const std::string&)> warning;
  // Each kind of trouble is told once a session, not at every access.
  bool toldUnreadable = false;
  bool toldUnsaved = false;
  // Met before anyone listens (the start reads settings before the toolkit
  // is up): told to the handler when it comes.
  std::vector<std::string> untold;
};

RegistryConfig& Config() {
  static RegistryConfig config;
  return config;
}

HiveStore Store() {
  std::filesystem::path file;
  {
    std::lock_guard lock(Config().mutex);
    file = Config().hiveForTesting;
  }
  return HiveStore(file.empty() ? platform::DefaultHivePath() : file);
}

// HKEY_CURRENT_USER is the only root there is.
std::string FullKeyPath(RegRoot /*root*/, std::string_view keyPath) {
  return "HKEY_CURRENT_USER\\" + std::string(keyPath);
}

// A key path the file can't hold is the caller's mistake, not the store's.
std::string StorableKeyPath(RegRoot root, std::string_view keyPath) {
  std::string path = FullKeyPath(root, keyPath);
  if (!platform::IsStorableKeyPath(path)) {
    throw Error(Substitute(_("Failed to create key %1"), {keyPath}));
  }
  return path;
}

void WarnOnce(bool RegistryConfig::*told, const std::string& text) {
  std::function<void(const std::string&)> warning;
  {
    std::lock_guard lock(Config().mutex);
    if (Config().*told) {
      return;
    }
    Config().*told = true;
    if (!Config().warning) {
      Config().untold.push_back(text);
      return;
    }
    warning = Config().warning;
  }
  warning(text);
}

std::string SystemText(int error) { return std::generic_category().message(error); }

// Reads give the stored value or the default whatever happens; a write that
// can't be saved, and a file that can't be read, are told once a session.
void Report(const HiveOutcome& outcome, const std::filesystem::path& file, bool writing,
            std::string_view name = {}) {
  switch (outcome.status) {
    case HiveStatus::Ok:
      return;
    case HiveStatus::Unreadable:
      WarnOnce(&RegistryConfig::toldUnreadable,
               Substitute(_("Settings can't be read from %1: %2.\nThe file is left as it is, and "
                            "changes to the settings are not saved until it can be read."),
                          {file.string(), SystemText(outcome.error)}));
      return;
    case HiveStatus::Damaged:
      WarnOnce(
          &RegistryConfig::toldUnreadable,
          Substitute(_("Settings can't be read from line %1 of %2: %3.\nThe file is left as "
                       "it is, and changes to the settings are not saved until that line is "
                       "corrected or removed."),
                     {std::to_string(outcome.damage.line), file.string(), outcome.damage.reason}));
      return;
    case HiveStatus::CannotSave:
      if (writing) {
        std::string text = Substitute(_("Settings can't be saved to %1: %2"),
                                      {file.string(), SystemText(outcome.error)});
        if (outcome.keyExisted) {
          text = Substitute(_("Failed to set data for '%1'"), {name}) + "\n" + text;
        }
        WarnOnce(&RegistryConfig::toldUnsaved, text);
      }
      return;
  }
}

std::uint64_t LittleEndian(const HiveValue& value) {
  std::uint64_t n = 0;
  for (std::size_t i = value.data.size(); i-- > 0;) {
    n = n << 8 | value.data[i];
  }
  return n;
}

std::string ValueText(const HiveValue& value, std::string_view name) {
  switch (value.type) {
    case platform::RegSz:
      return platform::StringValueText(value);
    case platform::RegExpandSz:
      return ExpandSystemRoot(platform::StringValueText(value));
    case platform::RegDword:
      if (value.data.size() > 4) {
        throw Error(Substitute(_("Failed to get data for '%1'"), {name}));
      }
      return std::to_string(static_cast<std::int32_t>(LittleEndian(value)));
    case platform::RegBinary:
      if (value.data.size() > 4) {
        throw Error(Substitute(_("Invalid data type for '%1'"), {name}));
      }
      return std::to_string(LittleEndian(value));
    default:
      return {};
  }
}

// A hex digit's value when it is a digit of the base, else -1.
int DigitValue(char c, int base) {
  const int d = HexDigitValue(c);
  return d < base ? d : -1;
}

// An integer of the given width: optional sign, then decimal digits within the
// signed range, or "$"/"0x" and hex digits up to the full unsigned range.
// Gives its low 32 bits.
std::optional<std::uint32_t> ParseInteger(std::string_view text, int bits) {
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.starts_with('$')) {
    base = 16;
    text.remove_prefix(1);
  } else if (text.starts_with("0x") || text.starts_with("0X")) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) {
    return std::nullopt;
  }
  const std::uint64_t top = std::uint64_t{1} << (bits - 1);
  const std::uint64_t limit = base == 16 ? top - 1 + top : negative ? top : top - 1;
  std::uint64_t magnitude = 0;
  for (char c : text) {
    const int d = DigitValue(c, base);
    if (d < 0) {
      return std::nullopt;
    }
    const auto digit = static_cast<std::uint64_t>(d);
    if (magnitude > (limit - digit) / static_cast<std::uint64_t>(base)) {
      return std::nullopt;
    }
    magnitude = magnitude * static_cast<std::uint64_t>(base) + digit;
  }
  return static_cast<std::uint32_t>(negative ? 0 - magnitude : magnitude);
}

HiveValue FourBytes(std::string_view name, std::uint32_t type, std::uint32_t n) {
  return {std::string(name),
          type,
          {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
           static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)}};
}

// The value a write stores, or nothing for a kind that writes nothing.
std::optional<HiveValue> ValueOfKind(std::string_view name, int kind, std::string_view text) {
  if (kind == RegKindString) {
    return platform::StringValue(name, text);
  }
  if (kind != RegKindDword && kind != RegKindBinary) {
    return std::nullopt;
  }
  const auto n = ParseInteger(text, kind == RegKindDword ? 32 : 64);
  if (!n) {
    throw Error(Substitute(_("'%1' is not a valid integer value"), {text}));
  }
  return FourBytes(name, kind == RegKindDword ? platform::RegDword : platform::RegBinary, *n);
}

}  // namespace

std::string ReadRegValue(RegRoot root, std::string_view keyPath, std::string_view name) {
  const std::string path = StorableKeyPath(root, keyPath);
  const HiveStore store = Store();
  HiveKey key;
  Report(store.ReadKey(path, key), store.File(), false);
  const HiveValue* value = key.Find(name);
  return value ? ValueText(*value, name) : std::string();
}

void WriteRegValue(RegRoot root, std::string_view keyPath, std::string_view name, int kind,
                   std::string_view value) {
  const std::string path = StorableKeyPath(root, keyPath);
  const HiveStore store = Store();
  const HiveOutcome outcome = store.ChangeKey(path, [&](HiveKey& key) {
    auto stored = ValueOfKind(name, kind, value);
    if (!stored) {
      return false;
    }
    if (!platform::IsStorableName(name)) {
      throw Error(Substitute(_("Failed to set data for '%1'"), {name}));
    }
    key.Set(std::move(*stored));
    return true;
  });
  Report(outcome, store.File(), true, name);
}

void DeleteRegValue(RegRoot root, std::string_view keyPath, std::string_view name) {
  const std::string path = StorableKeyPath(root, keyPath);
  const HiveStore store = Store();
  Report(store.ChangeKey(path, [&](HiveKey& key) { return key.Remove(name); }), store.File(), true,
         name);
}

std::string ExpandSystemRoot(std::string_view text) {
  std::string out;
  std::size_t start = 0;
  for (auto at = text.find(SystemRootVariable); at != std::string_view::npos;
       at = text.find(SystemRootVariable, start)) {
    out.append(text.substr(start, at - start)).append(SystemRootFolder);
    start = at + SystemRootVariable.size();
  }
  return out.append(text.substr(start));
}

std::string ReadSetting(std::string_view name) {
  return ReadRegValue(HKEY_CURRENT_USER, SettingsKey, name);
}

void WriteSetting(std::string_view name, std::string_view value) {
  WriteRegValue(HKEY_CURRENT_USER, SettingsKey, name, RegKindString, value);
}

void DeleteSetting(std::string_view name) { DeleteRegValue(HKEY_CURRENT_USER, SettingsKey, name); }

void SetRegistryWarningHandler(std::function<void(const std::string&)> handler) {
  std::vector<std::string> untold;
  {
    std::lock_guard lock(Config().mutex);
    Config().warning = handler;
    if (handler) {
      untold.swap(Config().untold);
    }
  }
  for (const std::string& text : untold) {
    handler(text);
  }
}

void SetRegistryHivePathForTesting(const std::filesystem::path& file) {
  std::lock_guard lock(Config().mutex);
  Config().hiveForTesting = file;
  Config().toldUnreadable = false;
  Config().toldUnsaved = false;
  Config().untold.clear();
}

}  // namespace telvanta
