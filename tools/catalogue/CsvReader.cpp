#include "tools/catalogue/CsvReader.h"

#include "common/Error.h"

namespace telvanta {

CsvReader::CsvReader(std::string_view text) : text_(text) {
  constexpr std::string_view bom = "\xEF\xBB\xBF";
  if (text_.starts_with(bom)) {
    pos_ = bom.size();
  }
}

bool CsvReader::Next(std::vector<std::string>& fields) {
  fields.clear();
  if (pos_ >= text_.size()) {
    return false;
  }
  recordLine_ = line_;
  for (;;) {
    const bool quoted = text_[pos_] == '"';
    fields.push_back(quoted ? ReadQuoted() : ReadPlain());
    if (pos_ < text_.size() && text_[pos_] == ',') {
      ++pos_;
      if (pos_ >= text_.size()) {
        fields.emplace_back();
        return true;
      }
      continue;
    }
    if (!AtRecordEnd()) {
      Fail("unexpected character after a quoted field");
    }
    SkipRecordEnd();
    return true;
  }
}

std::string CsvReader::ReadQuoted() {
  std::string field;
  const std::size_t startLine = line_;
  ++pos_;  // opening quote
  for (;;) {
    if (pos_ >= text_.size()) {
      Fail("quoted field not closed", startLine);
    }
    const char c = text_[pos_++];
    if (c == '"') {
      if (pos_ < text_.size() && text_[pos_] == '"') {
        field += '"';
        ++pos_;
        continue;
      }
      return field;
    }
    if (c == '\n') {
      ++line_;
    }
    field += c;
  }
}

std::string CsvReader::ReadPlain() {
  const std::size_t start = pos_;
  while (pos_ < text_.size()) {
    const char c = text_[pos_];
    if (c == ',' || c == '\n' || c == '\r') {
      break;
    }
    if (c == '"') {
      Fail("quote inside an unquoted field");
    }
    ++pos_;
  }
  return std::string(text_.substr(start, pos_ - start));
}

bool CsvReader::AtRecordEnd() const {
  return pos_ >= text_.size() || text_[pos_] == '\n' || text_[pos_] == '\r';
}

void CsvReader::SkipRecordEnd() {
  if (pos_ >= text_.size()) {
    return;
  }
  if (text_[pos_] == '\r') {
    ++pos_;
    if (pos_ >= text_.size() || text_[pos_] != '\n') {
      Fail("carriage return without line feed");
    }
  }
  ++pos_;
  ++line_;
}

void CsvReader::Fail(std::string_view what) const { Fail(what, line_); }

void CsvReader::Fail(std::string_view what, std::size_t line) const {
  throw Error("line " + std::to_string(line) + ": " + std::string(what));
}

}  // namespace telvanta
