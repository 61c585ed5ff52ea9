#include "tools/catalogue/FlatJson.h"

#include <cstdint>

#include "common/AsciiText.h"
#include "common/Error.h"

namespace telvanta {
namespace {

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  FlatJsonObject Object() {
    FlatJsonObject object;
    SkipSpace();
    Expect('{');
    SkipSpace();
    if (Peek() == '}') {
      ++pos_;
    } else {
      for (;;) {
        SkipSpace();
        if (Peek() != '"') {
          Fail("key expected");
        }
        std::string key = String();
        SkipSpace();
        Expect(':');
        SkipSpace();
        JsonScalar value = Scalar();
        if (!object.emplace(std::move(key), std::move(value)).second) {
          Fail("duplicate key");
        }
        SkipSpace();
        if (Peek() == ',') {
          ++pos_;
          continue;
        }
        Expect('}');
        break;
      }
    }
    SkipSpace();
    if (pos_ != text_.size()) {
      Fail("text after the object");
    }
    return object;
  }

 private:
  JsonScalar Scalar() {
    const char c = Peek();
    if (c == '"') {
      return {JsonScalar::Kind::String, String(), false};
    }
    if (c == '{' || c == '[') {
      Fail("nested values are not supported");
    }
    if (Literal("true")) {
      return {JsonScalar::Kind::Boolean, "true", true};
    }
    if (Literal("false")) {
      return {JsonScalar::Kind::Boolean, "false", false};
    }
    if (Literal("null")) {
      return {JsonScalar::Kind::Null, "", false};
    }
    return {JsonScalar::Kind::Number, Number(), false};
  }

  std::string String() {
    ++pos_;  // opening quote
    std::string out;
    for (;;) {
      if (pos_ >= text_.size()) {
        Fail("string not closed");
      }
      const char c = text_[pos_++];
      if (c == '"') {
        return out;
      }
      if (static_cast<unsigned char>(c) < 0x20) {
        Fail("control character in a string");
      }
      if (c != '\\') {
        out += c;
        continue;
      }
      Escape(out);
    }
  }

  void Escape(std::string& out) {
    if (pos_ >= text_.size()) {
      Fail("string not closed");
    }
    switch (const char c = text_[pos_++]) {
      case '"':
      case '\\':
      case '/':
        out += c;
        return;
      case 'b':
        out += '\b';
        return;
      case 'f':
        out += '\f';
        return;
      case 'n':
        out += '\n';
        return;
      case 'r':
        out += '\r';
        return;
      case 't':
        out += '\t';
        return;
      case 'u':
        AppendUtf8(out, CodePoint());
        return;
      default:
        Fail("bad escape");
    }
  }

  std::uint32_t CodePoint() {
    std::uint32_t unit = Hex4();
    if (unit >= 0xDC00 && unit <= 0xDFFF) {
      Fail("lone low surrogate");
    }
    if (unit < 0xD800 || unit > 0xDBFF) {
      return unit;
    }
    if (!Literal("\\u")) {
      Fail("lone high surrogate");
    }
    const std::uint32_t low = Hex4();
    if (low < 0xDC00 || low > 0xDFFF) {
      Fail("lone high surrogate");
    }
    return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
  }

  std::uint32_t Hex4() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      if (pos_ >= text_.size()) {
        Fail("short \\u escape");
      }
      const char c = text_[pos_++];
      const int digit = HexDigitValue(c);
      if (digit < 0) {
        Fail("bad \\u escape");
      }
      value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return value;
  }

  static void AppendUtf8(std::string& out, std::uint32_t cp) {
    auto byte = [&out](std::uint32_t b) { out += static_cast<char>(b); };
    if (cp < 0x80) {
      byte(cp);
    } else if (cp < 0x800) {
      byte(0xC0 | (cp >> 6));
      byte(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      byte(0xE0 | (cp >> 12));
      byte(0x80 | ((cp >> 6) & 0x3F));
      byte(0x80 | (cp & 0x3F));
    } else {
      byte(0xF0 | (cp >> 18));
      byte(0x80 | ((cp >> 12) & 0x3F));
      byte(0x80 | ((cp >> 6) & 0x3F));
      byte(0x80 | (cp & 0x3F));
    }
  }

  // -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
  std::string Number() {
    const std::size_t start = pos_;
    if (Peek() == '-') {
      ++pos_;
    }
    if (Peek() == '0') {
      ++pos_;
    } else if (!Digits()) {
      Fail("value expected");
    }
    if (Peek() == '.') {
      ++pos_;
      if (!Digits()) {
        Fail("digits expected after the point");
      }
    }
    if (Peek() == 'e' || Peek() == 'E') {
      ++pos_;
      if (Peek() == '+' || Peek() == '-') {
        ++pos_;
      }
      if (!Digits()) {
        Fail("digits expected in the exponent");
      }
    }
    return std::string(text_.substr(start, pos_ - start));
  }

  bool Digits() {
    const std::size_t start = pos_;
    while (Peek() >= '0' && Peek() <= '9') {
      ++pos_;
    }
    return pos_ != start;
  }

  bool Literal(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) {
      return false;
    }
    pos_ += word.size();
    return true;
  }

  char Peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }

  void Expect(char c) {
    if (Peek() != c || pos_ >= text_.size()) {
      Fail(std::string("'") + c + "' expected");
    }
    ++pos_;
  }

  void SkipSpace() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                   text_[pos_] == '\n' || text_[pos_] == '\r')) {
      ++pos_;
    }
  }

  [[noreturn]] void Fail(std::string_view what) const {
    throw Error("JSON at " + std::to_string(pos_) + ": " + std::string(what));
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

const JsonScalar* Find(const FlatJsonObject& object, std::string_view key) {
  const auto it = object.find(key);
  return it == object.end() ? nullptr : &it->second;
}

}  // namespace

FlatJsonObject ParseFlatJsonObject(std::string_view text) { return Parser(text).Object(); }

bool JsonFlag(const FlatJsonObject& object, std::string_view key) {
  const JsonScalar* value = Find(object, key);
  if (value == nullptr) {
    return false;
  }
  if (value->kind != JsonScalar::Kind::Boolean) {
    throw Error("\"" + std::string(key) + "\" is not true or false");
  }
  return value->boolean;
}

std::string JsonText(const FlatJsonObject& object, std::string_view key) {
  const JsonScalar* value = Find(object, key);
  if (value == nullptr || value->kind == JsonScalar::Kind::Null) {
    return {};
  }
  if (value->kind != JsonScalar::Kind::String) {
    throw Error("\"" + std::string(key) + "\" is not a string");
  }
  return value->text;
}

}  // namespace telvanta
