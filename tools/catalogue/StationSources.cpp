#include "tools/catalogue/StationSources.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <sstream>

#include "common/AsciiText.h"
#include "common/Error.h"
#include "tools/catalogue/CsvReader.h"

namespace telvanta {
namespace {

const std::string_view SourceColumns[] = {"country", "name", "bandwidth", "type", "url", "extra"};

[[noreturn]] void FailAt(std::string_view fileName, std::size_t line, std::string_view what) {
  throw Error(std::string(fileName) + ":" + std::to_string(line) + ": " + std::string(what));
}

// Hands the header to onHeader, then every record (which must have as many
// fields as the header) to body; errors name the file and line.
template <typename OnHeader, typename Body>
void ForEachRecord(std::string_view fileName, std::string_view text, OnHeader onHeader, Body body) {
  CsvReader reader(text);
  std::vector<std::string> header;
  std::vector<std::string> fields;
  try {
    if (!reader.Next(header)) {
      FailAt(fileName, 1, "no header");
    }
    onHeader(header);
    while (reader.Next(fields)) {
      if (fields.size() != header.size()) {
        FailAt(
            fileName, reader.RecordLine(),
            std::to_string(fields.size()) + " fields, expected " + std::to_string(header.size()));
      }
      body(fields, reader.RecordLine());
    }
  } catch (const Error& e) {
    const std::string message = e.what();
    if (message.starts_with(std::string(fileName) + ":")) {
      throw;
    }
    throw Error(std::string(fileName) + ": " + message);
  }
}

std::size_t ColumnIndex(std::string_view fileName, const std::vector<std::string>& header,
                        std::string_view column) {
  const auto it = std::find(header.begin(), header.end(), column);
  if (it == header.end()) {
    FailAt(fileName, 1, "no column \"" + std::string(column) + "\"");
  }
  return static_cast<std::size_t>(it - header.begin());
}

std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    throw Error(CannotOpenFileMessage(path.string(), errno));
  }
  std::ostringstream out;
  out << in.rdbuf();
  if (in.bad()) {
    throw Error(CannotOpenFileMessage(path.string(), errno));
  }
  return std::move(out).str();
}

}  // namespace

SourceTable ParseSourceTable(std::string_view fileName, std::string_view text) {
  SourceTable table{std::string(fileName), {}};
  std::size_t index[6] = {};
  auto onHeader = [&](const std::vector<std::string>& header) {
    for (std::size_t i = 0; i < 6; ++i) {
      index[i] = ColumnIndex(fileName, header, SourceColumns[i]);
    }
  };
  ForEachRecord(fileName, text, onHeader, [&](std::vector<std::string>& fields, std::size_t line) {
    SourceRow row;
    row.country = std::move(fields[index[0]]);
    row.name = std::move(fields[index[1]]);
    row.bandwidth = std::move(fields[index[2]]);
    row.type = std::move(fields[index[3]]);
    row.url = std::move(fields[index[4]]);
    try {
      row.extra = ParseFlatJsonObject(fields[index[5]]);
    } catch (const Error& e) {
      FailAt(fileName, line, std::string("extra: ") + e.what());
    }
    row.line = line;
    table.rows.push_back(std::move(row));
  });
  return table;
}

CountryNames ParseCountries(std::string_view fileName, std::string_view text) {
  CountryNames names;
  std::size_t nameIndex = 0;
  std::size_t codeIndex = 0;
  auto onHeader = [&](const std::vector<std::string>& header) {
    nameIndex = ColumnIndex(fileName, header, "name");
    codeIndex = ColumnIndex(fileName, header, "code");
  };
  ForEachRecord(fileName, text, onHeader, [&](std::vector<std::string>& fields, std::size_t line) {
    if (fields[codeIndex].empty() || fields[nameIndex].empty()) {
      FailAt(fileName, line, "empty country code or name");
    }
    if (!names.emplace(fields[codeIndex], fields[nameIndex]).second) {
      FailAt(fileName, line, "country code \"" + fields[codeIndex] + "\" given twice");
    }
  });
  // The fixed items of the country filter spell these two their own way;
  // the lists use both GB and UK for the United Kingdom.
  names["GB"] = "U.K";
  names["UK"] = "U.K";
  names["US"] = "U.S.A";
  return names;
}

std::optional<std::int64_t> ParseCatalogueSerial(std::string_view text) {
  text = TrimAsciiSpace(text);
  if (text.size() != 8 ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  const std::int64_t serial = std::stoll(std::string(text));
  const std::int64_t month = serial / 100 % 100;
  const std::int64_t day = serial % 100;
  if (month < 1 || month > 12 || day < 1 || day > 31) {
    return std::nullopt;
  }
  return serial;
}

StationSources ReadStationSources(const std::filesystem::path& folder) {
  auto table = [&folder](std::string_view file) {
    return ParseSourceTable(file, ReadWholeFile(folder / file));
  };
  StationSources sources;
  const auto serial = ParseCatalogueSerial(ReadWholeFile(folder / "SERIAL"));
  if (!serial) {
    throw Error("SERIAL: not a date written YYYYMMDD");
  }
  sources.serial = *serial;
  sources.countries = ParseCountries("countries.csv", ReadWholeFile(folder / "countries.csv"));
  sources.tv = table("tv_iptv_org.csv");
  sources.radio = table("radio_iprd.csv");
  sources.radioBitrates = table("radio_webradiodb.csv");
  sources.webcams = table("webcams_fintraffic_fi.csv");
  return sources;
}

}  // namespace telvanta
