#pragma once
// Case changes of a to z only. The texts here are bytes (addresses, codes,
// engine messages, settings), and the user's locale must not decide them.

#include <string>
#include <string_view>

namespace telvanta {

constexpr char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The value of a hex digit (0-9, a-f, A-F), or -1 for any other character.
constexpr int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

std::string AsciiLower(std::string_view text);
std::string AsciiUpper(std::string_view text);

// The text without the ASCII white space (space, \t \n \v \f \r) around it.
std::string_view TrimAsciiSpace(std::string_view text);

// True when the texts differ at most in the case of a to z.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace telvanta
