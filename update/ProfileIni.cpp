#include "update/ProfileIni.h"

#include "common/AsciiText.h"

namespace telvanta {

namespace {

std::string_view TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) {
    return {};
  }
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

bool SameName(std::string_view a, std::string_view b) { return AsciiLower(a) == AsciiLower(b); }

std::string Cut(std::string_view value) { return std::string(value.substr(0, ProfileValueLimit)); }

std::string_view Unquoted(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

std::string GetPrivateProfileString(std::string_view iniText, std::string_view section,
                                    std::string_view key, std::string_view defaultValue) {
  if (iniText.starts_with("\xEF\xBB\xBF")) {
    iniText.remove_prefix(3);
  }
  const std::string_view wantedSection = TrimBlanks(section);
  const std::string_view wantedKey = TrimBlanks(key);
  bool inSection = false;
  while (!iniText.empty()) {
    const auto end = iniText.find('\n');
    std::string_view line = iniText.substr(0, end);
    iniText.remove_prefix(end == std::string_view::npos ? iniText.size() : end + 1);
    if (line.ends_with('\r')) {
      line.remove_suffix(1);
    }
    line = TrimBlanks(line);
    if (line.starts_with('[')) {
      const auto close = line.find(']');
      const std::string_view name =
          line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
      inSection = SameName(TrimBlanks(name), wantedSection);
      continue;
    }
    if (!inSection || line.starts_with(';')) {
      continue;
    }
    const auto equals = line.find('=');
    if (equals != std::string_view::npos &&
        SameName(TrimBlanks(line.substr(0, equals)), wantedKey)) {
      return Cut(Unquoted(TrimBlanks(line.substr(equals + 1))));
    }
  }
  return Cut(defaultValue);
}

}  // namespace telvanta
