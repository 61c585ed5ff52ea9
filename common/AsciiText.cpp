#include "common/AsciiText.h"

#include <algorithm>

namespace telvanta {

std::string AsciiLower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](char c) { return AsciiLower(c); });
  return out;
}

std::string AsciiUpper(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](char c) { return AsciiUpper(c); });
  return out;
}

std::string_view TrimAsciiSpace(std::string_view text) {
  constexpr std::string_view space = " \t\n\v\f\r";
  const std::size_t first = text.find_first_not_of(space);
  if (first == std::string_view::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(space) - first + 1);
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

}  // namespace telvanta
