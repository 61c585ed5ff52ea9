#pragma once
// A JSON object whose values are all scalars (strings, booleans, numbers,
// null): enough for the "extra" column of the station lists.

#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace telvanta {

struct JsonScalar {
  enum class Kind { String, Boolean, Number, Null };
  Kind kind = Kind::Null;
  std::string text;  // the decoded string, or the number as written
  bool boolean = false;
};

using FlatJsonObject = std::map<std::string, JsonScalar, std::less<>>;

// Throws Error on anything but one flat object (nested values, duplicate
// keys, bad escapes, trailing text included).
FlatJsonObject ParseFlatJsonObject(std::string_view text);

// True only for the value true; false when absent; throws Error when the
// value is not a boolean.
bool JsonFlag(const FlatJsonObject& object, std::string_view key);
// The string value, or "" when absent or null; throws Error for other kinds.
std::string JsonText(const FlatJsonObject& object, std::string_view key);

}  // namespace telvanta
