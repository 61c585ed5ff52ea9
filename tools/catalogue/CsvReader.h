#pragma once
// RFC 4180 records: comma-separated fields, double-quoted fields may hold
// commas, line breaks and doubled quotes. Anything else is refused.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace telvanta {

class CsvReader {
 public:
  // The text must outlive the reader.
  explicit CsvReader(std::string_view text);

  // Reads the next record into fields; false at the end of the text.
  // Throws Error "line N: ..." on a malformed record.
  bool Next(std::vector<std::string>& fields);
  // Line (from 1) on which the record last read starts.
  std::size_t RecordLine() const { return recordLine_; }

 private:
  std::string ReadQuoted();
  std::string ReadPlain();
  bool AtRecordEnd() const;
  void SkipRecordEnd();
  [[noreturn]] void Fail(std::string_view what) const;
  [[noreturn]] void Fail(std::string_view what, std::size_t line) const;

  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t line_ = 1;
  std::size_t recordLine_ = 0;
};

}  // namespace telvanta
