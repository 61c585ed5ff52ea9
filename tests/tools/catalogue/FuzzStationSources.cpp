// The station list readers must refuse bad input with an Error, never crash,
// and read back what they read when it is written again fully quoted.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/Error.h"
#include "tools/catalogue/CsvReader.h"
#include "tools/catalogue/FlatJson.h"
#include "tools/catalogue/StationSources.h"

namespace {

using Records = std::vector<std::vector<std::string>>;

Records ReadAll(std::string_view text) {
  telvanta::CsvReader reader(text);
  Records records;
  std::vector<std::string> fields;
  while (reader.Next(fields)) records.push_back(fields);
  return records;
}

std::string WriteQuoted(const Records& records) {
  std::string out;
  for (const auto& record : records) {
    for (std::size_t i = 0; i < record.size(); ++i) {
      if (i > 0) {
        out += ',';
      }
      out += '"';
      for (const char c : record[i]) {
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
      }
      out += '"';
    }
    out += "\r\n";
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    const Records records = ReadAll(text);
    if (ReadAll(WriteQuoted(records)) != records) {
      std::abort();
    }
  } catch (const telvanta::Error&) {
  }
  try {
    telvanta::ParseSourceTable("fuzz.csv", text);
  } catch (const telvanta::Error&) {
  }
  try {
    telvanta::ParseFlatJsonObject(text);
  } catch (const telvanta::Error&) {
  }
  return 0;
}
