#include "platform/hive/RegistryHive.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>
#include <utility>

#include "common/AsciiText.h"

namespace telvanta::platform {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

// The blanks a .reg line may carry around its parts.
std::string_view TrimBlanks(std::string_view s) {
  constexpr std::string_view blanks = " \t\r";
  const auto first = s.find_first_not_of(blanks);
  if (first == std::string_view::npos) {
    return {};
  }
  return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

// 1 to maxDigits hex digits, nothing else.
std::optional<std::uint32_t> ParseHexNumber(std::string_view digits, std::size_t maxDigits) {
  if (digits.empty() || digits.size() > maxDigits) {
    return std::nullopt;
  }
  std::uint32_t n = 0;
  for (char c : digits) {
    const int d = HexDigitValue(c);
    if (d < 0) {
      return std::nullopt;
    }
    n = n << 4 | static_cast<std::uint32_t>(d);
  }
  return n;
}

// Length of the valid UTF-8 sequence at s[i] and its code point; 0 when invalid.
std::size_t DecodeUtf8(std::string_view s, std::size_t i, char32_t& cp) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
  const unsigned char lead = b(0);
  if (lead < 0x80) {
    cp = lead;
    return 1;
  }
  std::size_t len = 0;
  unsigned char lo = 0x80, hi = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    len = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    len = 3;
    if (lead == 0xE0) {
      lo = 0xA0;
    }
    if (lead == 0xED) {
      hi = 0x9F;  // no surrogates
    }
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    len = 4;
    if (lead == 0xF0) {
      lo = 0x90;
    }
    if (lead == 0xF4) {
      hi = 0x8F;
    }
  } else {
    return 0;
  }
  if (i + len > s.size()) {
    return 0;
  }
  if (b(1) < lo || b(1) > hi) {
    return 0;
  }
  for (std::size_t k = 2; k < len; ++k) {
    if (b(k) < 0x80 || b(k) > 0xBF) {
      return 0;
    }
  }
  cp = lead & (0xFF >> (len + 1));
  for (std::size_t k = 1; k < len; ++k) {
    cp = cp << 6 | (b(k) & 0x3F);
  }
  return len;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | cp >> 6);
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | cp >> 12);
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | cp >> 18);
    out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

void AppendUnit(std::vector<std::uint8_t>& out, std::uint32_t unit) {
  out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
  out.push_back(static_cast<std::uint8_t>(unit >> 8));
}

std::string Escape(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  for (char c : text) {
    if (c == '\\' || c == '"') {
      out += '\\';
    }
    out += c;
  }
  return out;
}

// REG_SZ data that the quoted form holds exactly: one terminator, no line breaks.
std::optional<std::string> QuotableText(const HiveValue& value) {
  const auto& d = value.data;
  if (value.type != RegSz || d.size() < 2 || d.size() % 2 != 0 || d[d.size() - 1] != 0 ||
      d[d.size() - 2] != 0) {
    return std::nullopt;
  }
  const std::vector<std::uint8_t> body(d.begin(), d.end() - 2);
  std::string text = TextFromUtf16(body);
  if (text.find_first_of(std::string_view("\0\r\n", 3)) != std::string::npos) {
    return std::nullopt;
  }
  if (Utf16FromText(text) != body) {
    return std::nullopt;
  }
  return text;
}

void AppendHexData(std::string& out, std::string_view prefix,
                   const std::vector<std::uint8_t>& data) {
  // Wrapped as the registry editor does: lines under 80 columns, ",\" at the break.
  constexpr std::size_t width = 77;
  out += prefix;
  std::size_t column = prefix.size();
  char piece[4];
  for (std::size_t i = 0; i < data.size(); ++i) {
    const bool last = i + 1 == data.size();
    std::snprintf(piece, sizeof piece, last ? "%02x" : "%02x,", data[i]);
    const std::string_view p(piece);
    if (i > 0 && column + p.size() > width) {
      out += "\\\n  ";
      column = 2;
    }
    out += p;
    column += p.size();
  }
  out += '\n';
}

void AppendValue(std::string& out, const HiveValue& value) {
  std::string prefix = value.name.empty() ? "@=" : "\"" + Escape(value.name) + "\"=";
  if (auto text = QuotableText(value)) {
    out += prefix + "\"" + Escape(*text) + "\"\n";
    return;
  }
  const auto& d = value.data;
  if (value.type == RegDword && d.size() == 4) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "dword:%02x%02x%02x%02x\n", d[3], d[2], d[1], d[0]);
    out += prefix + buf;
    return;
  }
  if (value.type == RegBinary) {
    prefix += "hex:";
  } else {
    char buf[24];
    std::snprintf(buf, sizeof buf, "hex(%x):", static_cast<unsigned>(value.type));
    prefix += buf;
  }
  AppendHexData(out, prefix, d);
}

class Parser {
 public:
  explicit Parser(std::string_view text) {
    std::size_t start = 0;
    while (start <= text.size()) {
      const auto end = text.find('\n', start);
      if (end == std::string_view::npos) {
        lines_.push_back(text.substr(start));
        break;
      }
      lines_.push_back(text.substr(start, end - start));
      start = end + 1;
    }
  }

  // Parses every line it can; a line it can't is left out and the first such
  // line noted, so one damaged line costs only itself.
  HiveReading Run() {
    ReadHeader();
    while (next_ < lines_.size()) {
      lineStart_ = next_ + 1;
      const std::string_view line = TrimBlanks(lines_[next_++]);
      if (line.empty()) {
        continue;
      }
      if (line.front() == ';') {
        HiveComment comment{std::string(line)};
        if (key_) {
          hive_.keys[*key_].items.emplace_back(std::move(comment));
        } else if (!keyFailed_) {
          hive_.preamble.push_back(std::move(comment));
        }
      } else if (line.front() == '[') {
        ReadKeyLine(line);
      } else if (line.front() == '"' || line.front() == '@') {
        ReadValueIntoKey(line);
      } else {
        Fail("unexpected text");
      }
    }
    return {std::move(hive_), std::move(damage_)};
  }

 private:
  void Fail(std::string reason) {
    if (!damage_) {
      damage_ = HiveParseError{static_cast<int>(lineStart_), std::move(reason)};
    }
  }

  void ReadValueIntoKey(std::string_view line) {
    if (keyFailed_) {
      return;  // its key line was damaged; already noted
    }
    if (!key_) {
      Fail("value outside a key");
      return;
    }
    if (auto value = ReadValueLine(line)) {
      AddValue(std::move(*value));
    }
  }

  void ReadHeader() {
    while (next_ < lines_.size()) {
      lineStart_ = next_ + 1;
      const std::string_view line = TrimBlanks(lines_[next_++]);
      if (line.empty()) {
        continue;
      }
      if (line != HiveHeader) {
        Fail("not a registry file");
      }
      return;
    }
    // an empty file is an empty hive
  }

  void ReadKeyLine(std::string_view line) {
    // Values under a damaged key line belong to no key we know.
    key_.reset();
    keyFailed_ = true;
    if (line.size() < 3 || line.back() != ']') {
      Fail("bad key line");
      return;
    }
    const std::string_view path = line.substr(1, line.size() - 2);
    if (!IsStorableKeyPath(path)) {
      Fail("key deletions and empty keys are not kept in a hive");
      return;
    }
    // A key met again merges with the first, as an import would.
    const auto [at, added] = keyIndex_.try_emplace(AsciiLower(path), hive_.keys.size());
    if (added) {
      hive_.keys.push_back(HiveKey{std::string(path), {}});
      valueIndex_.emplace_back();
    }
    key_ = at->second;
    keyFailed_ = false;
  }

  // The later of two values of one name wins; indexed, so big hives parse in linear time.
  void AddValue(HiveValue value) {
    auto& items = hive_.keys[*key_].items;
    const auto [at, added] = valueIndex_[*key_].try_emplace(AsciiLower(value.name), items.size());
    if (added) {
      items.emplace_back(std::move(value));
      return;
    }
    auto& existing = std::get<HiveValue>(items[at->second]);
    existing.type = value.type;
    existing.data = std::move(value.data);
  }

  std::optional<std::string> ReadQuoted(std::string_view s, std::size_t& pos) {
    std::string out;
    for (++pos; pos < s.size(); ++pos) {
      const char c = s[pos];
      if (c == '"') {
        ++pos;
        return out;
      }
      if (c == '\\' && pos + 1 < s.size() && (s[pos + 1] == '\\' || s[pos + 1] == '"')) {
        ++pos;
      }
      out += s[pos];
    }
    Fail("unterminated quoted text");
    return std::nullopt;
  }

  std::optional<HiveValue> ReadValueLine(std::string_view line) {
    HiveValue value;
    std::size_t pos = 0;
    if (line.front() == '@') {
      pos = 1;
    } else {
      auto name = ReadQuoted(line, pos);
      if (!name) {
        return std::nullopt;
      }
      value.name = std::move(*name);
    }
    std::string_view rest = TrimBlanks(line.substr(pos));
    if (rest.empty() || rest.front() != '=') {
      return Failed("'=' expected after the value name");
    }
    rest = TrimBlanks(rest.substr(1));
    if (!rest.empty() && rest.front() == '"') {
      return ReadString(value, rest);
    }
    if (StartsWithNoCase(rest, "dword:")) {
      return ReadDword(std::move(value), rest.substr(6));
    }
    if (StartsWithNoCase(rest, "hex")) {
      return ReadHex(std::move(value), rest.substr(3));
    }
    return Failed("unknown value data");
  }

  std::nullopt_t Failed(std::string reason) {
    Fail(std::move(reason));
    return std::nullopt;
  }

  std::optional<HiveValue> ReadString(const HiveValue& value, std::string_view rest) {
    std::size_t pos = 0;
    auto text = ReadQuoted(rest, pos);
    if (!text) {
      return std::nullopt;
    }
    if (!TrimBlanks(rest.substr(pos)).empty()) {
      return Failed("text after the closing quote");
    }
    return StringValue(value.name, *text);
  }

  std::optional<HiveValue> ReadDword(HiveValue value, std::string_view digits) {
    const auto n = ParseHexNumber(TrimBlanks(digits), 8);
    if (!n) {
      return Failed("bad dword");
    }
    value.type = RegDword;
    value.data = {static_cast<std::uint8_t>(*n), static_cast<std::uint8_t>(*n >> 8),
                  static_cast<std::uint8_t>(*n >> 16), static_cast<std::uint8_t>(*n >> 24)};
    return value;
  }

  std::optional<HiveValue> ReadHex(HiveValue value, std::string_view rest) {
    value.type = RegBinary;
    if (!rest.empty() && rest.front() == '(') {
      const auto close = rest.find(')');
      const auto type = close == std::string_view::npos
                            ? std::nullopt
                            : ParseHexNumber(rest.substr(1, close - 1), 8);
      if (!type) {
        return Failed("bad hex type");
      }
      value.type = *type;
      rest = rest.substr(close + 1);
    }
    if (rest.empty() || rest.front() != ':') {
      return Failed("':' expected");
    }
    std::string list(TrimBlanks(rest.substr(1)));
    while (!list.empty() && list.back() == '\\') {
      list.pop_back();
      if (next_ >= lines_.size()) {
        return Failed("continuation at the end of the file");
      }
      list += TrimBlanks(lines_[next_++]);
    }
    if (!ReadBytes(list, value.data)) {
      return Failed("bad hex byte");
    }
    return value;
  }

  static bool ReadBytes(std::string_view list, std::vector<std::uint8_t>& out) {
    if (TrimBlanks(list).empty()) {
      return true;
    }
    std::size_t start = 0;
    while (true) {
      const auto comma = list.find(',', start);
      const auto byte = ParseHexNumber(TrimBlanks(list.substr(start, comma - start)), 2);
      if (!byte) {
        return false;
      }
      out.push_back(static_cast<std::uint8_t>(*byte));
      if (comma == std::string_view::npos) {
        return true;
      }
      start = comma + 1;
    }
  }

  std::vector<std::string_view> lines_;
  std::size_t next_ = 0;
  std::size_t lineStart_ = 0;  // 1-based line where the current entry began
  Hive hive_;
  std::optional<std::size_t> key_;  // the key that values go to
  bool keyFailed_ = false;          // the last key line was damaged
  std::unordered_map<std::string, std::size_t> keyIndex_;
  std::vector<std::unordered_map<std::string, std::size_t>> valueIndex_;
  std::optional<HiveParseError> damage_;
};

}  // namespace

const HiveValue* HiveKey::Find(std::string_view name) const {
  for (const auto& item : items) {
    const auto* value = std::get_if<HiveValue>(&item);
    if (value && EqualsIgnoringAsciiCase(value->name, name)) {
      return value;
    }
  }
  return nullptr;
}

void HiveKey::Set(HiveValue value) {
  for (auto& item : items) {
    auto* existing = std::get_if<HiveValue>(&item);
    if (existing && EqualsIgnoringAsciiCase(existing->name, value.name)) {
      existing->type = value.type;
      existing->data = std::move(value.data);
      return;
    }
  }
  items.emplace_back(std::move(value));
}

bool HiveKey::Remove(std::string_view name) {
  const auto it = std::find_if(items.begin(), items.end(), [&](const HiveItem& item) {
    const auto* value = std::get_if<HiveValue>(&item);
    return value && EqualsIgnoringAsciiCase(value->name, name);
  });
  if (it == items.end()) {
    return false;
  }
  items.erase(it);
  return true;
}

HiveKey* Hive::FindKey(std::string_view path) {
  for (auto& key : keys) {
    if (EqualsIgnoringAsciiCase(key.path, path)) {
      return &key;
    }
  }
  return nullptr;
}

const HiveKey* Hive::FindKey(std::string_view path) const {
  return const_cast<Hive*>(this)->FindKey(path);
}

HiveKey& Hive::CreateKey(std::string_view path) {
  if (HiveKey* key = FindKey(path)) {
    return *key;
  }
  keys.push_back(HiveKey{std::string(path), {}});
  return keys.back();
}

HiveReading ParseHiveLeniently(std::string_view text) {
  constexpr std::string_view utf8Bom = "\xEF\xBB\xBF";
  constexpr std::string_view utf16Bom = "\xFF\xFE";
  if (text.substr(0, utf16Bom.size()) == utf16Bom) {
    const std::string_view body = text.substr(utf16Bom.size());
    const std::string decoded = TextFromUtf16(std::vector<std::uint8_t>(body.begin(), body.end()));
    return Parser(decoded).Run();
  }
  if (text.substr(0, utf8Bom.size()) == utf8Bom) {
    text.remove_prefix(utf8Bom.size());
  }
  return Parser(text).Run();
}

std::variant<Hive, HiveParseError> ParseHive(std::string_view text) {
  HiveReading reading = ParseHiveLeniently(text);
  if (reading.damage) {
    return std::move(*reading.damage);
  }
  return std::move(reading.hive);
}

std::string SerializeHive(const Hive& hive) {
  std::string out(HiveHeader);
  out += '\n';
  for (const auto& comment : hive.preamble) {
    out += comment.text + '\n';
  }
  out += '\n';
  for (const auto& key : hive.keys) {
    out += '[' + key.path + "]\n";
    for (const auto& item : key.items) {
      if (const auto* value = std::get_if<HiveValue>(&item)) {
        AppendValue(out, *value);
      } else {
        out += std::get<HiveComment>(item).text + '\n';
      }
    }
    out += '\n';
  }
  return out;
}

bool IsStorableName(std::string_view name) { return name.find('\n') == std::string_view::npos; }

bool IsStorableKeyPath(std::string_view path) {
  return !path.empty() && path.front() != '-' &&
         path.find_first_of("\r\n") == std::string_view::npos;
}

std::vector<std::uint8_t> Utf16FromText(std::string_view text) {
  std::vector<std::uint8_t> out;
  out.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size();) {
    char32_t cp = 0;
    const std::size_t len = DecodeUtf8(text, i, cp);
    if (len == 0) {
      AppendUnit(out, 0xDC00 | static_cast<unsigned char>(text[i]));
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      AppendUnit(out, 0xD800 | (cp - 0x10000) >> 10);
      AppendUnit(out, 0xDC00 | ((cp - 0x10000) & 0x3FF));
    } else {
      AppendUnit(out, cp);
    }
    i += len;
  }
  return out;
}

std::string TextFromUtf16(const std::vector<std::uint8_t>& utf16le) {
  std::string out;
  const std::size_t units = utf16le.size() / 2;
  const auto unit = [&](std::size_t k) -> char32_t {
    return utf16le[2 * k] | static_cast<char32_t>(utf16le[2 * k + 1]) << 8;
  };
  for (std::size_t k = 0; k < units; ++k) {
    const char32_t u = unit(k);
    if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units && unit(k + 1) >= 0xDC00 &&
        unit(k + 1) <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (unit(k + 1) - 0xDC00));
      ++k;
    } else if (u >= 0xDC80 && u <= 0xDCFF) {
      out += static_cast<char>(u & 0xFF);  // a byte that was not UTF-8
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      AppendUtf8(out, 0xFFFD);
    } else {
      AppendUtf8(out, u);
    }
  }
  return out;
}

HiveValue StringValue(std::string_view name, std::string_view text) {
  HiveValue value{std::string(name), RegSz, Utf16FromText(text)};
  value.data.push_back(0);
  value.data.push_back(0);
  return value;
}

std::string StringValueText(const HiveValue& value) {
  std::size_t end = 0;
  while (end + 1 < value.data.size() && (value.data[end] != 0 || value.data[end + 1] != 0)) {
    end += 2;
  }
  return TextFromUtf16(std::vector<std::uint8_t>(
      value.data.begin(), value.data.begin() + static_cast<std::ptrdiff_t>(end)));
}

}  // namespace telvanta::platform
