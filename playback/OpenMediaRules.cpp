#include "playback/OpenMediaRules.h"

#include "common/AsciiText.h"

namespace telvanta {

namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) {
      break;
    }
    start = end + 1;
  }
  return parts;
}

}  // namespace

std::string CaseInsensitivePattern(std::string_view pattern) {
  std::string out;
  for (const char c : pattern) {
    const bool lower = c >= 'a' && c <= 'z';
    const bool upper = c >= 'A' && c <= 'Z';
    if (!lower && !upper) {
      out += c;
      continue;
    }
    const char l = AsciiLower(c);
    const char u = AsciiUpper(c);
    out += '[';
    out += l;
    out += u;
    out += ']';
  }
  return out;
}

std::vector<FilterGroup> ParseDialogFilter(std::string_view filter) {
  std::vector<FilterGroup> groups;
  if (filter.empty()) {
    return groups;
  }
  const auto fields = Split(filter, '|');
  for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
    FilterGroup group{std::string(fields[i]), {}};
    for (const auto pattern : Split(fields[i + 1], ';')) {
      if (!pattern.empty()) {
        group.patterns.emplace_back(pattern);
      }
    }
    groups.push_back(std::move(group));
  }
  return groups;
}

}  // namespace telvanta
