#pragma once
// The settings hive: a tree of keys holding named, typed values, kept as a text
// file in the registry editor's export format (header "Windows Registry Editor
// Version 5.00", "[key]" sections, "name"=... values). The model holds what the
// registry itself would hold: string kinds as UTF-16LE with their terminator.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace telvanta::platform {

// Value types under their registry numbers.
enum RegType : std::uint32_t {
  RegNone = 0,
  RegSz = 1,
  RegExpandSz = 2,
  RegBinary = 3,
  RegDword = 4,
  RegMultiSz = 7,
};

inline constexpr std::string_view HiveHeader = "Windows Registry Editor Version 5.00";

struct HiveValue {
  std::string name;  // empty for the key's default value ("@")
  std::uint32_t type = RegNone;
  std::vector<std::uint8_t> data;
  bool operator==(const HiveValue&) const = default;
};

// A comment line (";...") kept where the user put it.
struct HiveComment {
  std::string text;
  bool operator==(const HiveComment&) const = default;
};

using HiveItem = std::variant<HiveValue, HiveComment>;

struct HiveKey {
  std::string path;  // with its root, e.g. "HKEY_CURRENT_USER\Software\..."
  std::vector<HiveItem> items;

  // Names compare as the registry compares them: ASCII letter case ignored.
  const HiveValue* Find(std::string_view name) const;
  // Replaces a value of that name in place (keeping its spelling) or appends it.
  void Set(HiveValue value);
  bool Remove(std::string_view name);
  bool operator==(const HiveKey&) const = default;
};

struct Hive {
  std::vector<HiveComment> preamble;  // comments before the first key
  std::vector<HiveKey> keys;

  HiveKey* FindKey(std::string_view path);
  const HiveKey* FindKey(std::string_view path) const;
  // The key of that path, appended empty when missing.
  HiveKey& CreateKey(std::string_view path);
  bool operator==(const Hive&) const = default;
};

struct HiveParseError {
  int line = 0;  // 1-based physical line where the entry begins
  std::string reason;
};

struct HiveReading {
  Hive hive;                             // everything that parsed
  std::optional<HiveParseError> damage;  // the first line that did not
};

// Parses a whole hive file (UTF-8 or 8-bit, or UTF-16LE with its byte order
// mark). Duplicate keys and values merge as an import would: the later wins.
// A line that can't be parsed is left out of the model (a damaged key line
// takes its values with it), so a hive with damage must not be written back.
HiveReading ParseHiveLeniently(std::string_view text);
// The same, failing on the first line that can't be parsed.
std::variant<Hive, HiveParseError> ParseHive(std::string_view text);
// The file text; ParseHive of it gives back an equal model.
std::string SerializeHive(const Hive& hive);

// Whether a name or key path can be written to the file at all.
bool IsStorableName(std::string_view name);
bool IsStorableKeyPath(std::string_view path);

// 8-bit text <-> UTF-16LE. Text is taken as UTF-8; bytes that are not valid
// UTF-8 travel as U+DC80..U+DCFF, so any byte string survives the round trip.
std::vector<std::uint8_t> Utf16FromText(std::string_view text);
std::string TextFromUtf16(const std::vector<std::uint8_t>& utf16le);

// REG_SZ data for a text: its UTF-16LE form with the terminating NUL.
HiveValue StringValue(std::string_view name, std::string_view text);
// The text of REG_SZ / REG_EXPAND_SZ data, up to its first NUL.
std::string StringValueText(const HiveValue& value);

}  // namespace telvanta::platform
