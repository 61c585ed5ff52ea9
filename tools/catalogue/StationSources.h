#pragma once
// The station lists in data/stations as read from their CSV files.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/catalogue/FlatJson.h"

namespace telvanta {

struct SourceRow {
  std::string country;  // ISO 3166-1 alpha-2 code
  std::string name;
  std::string bandwidth;
  std::string type;
  std::string url;
  FlatJsonObject extra;
  std::size_t line = 0;  // where the record starts, for messages
};

struct SourceTable {
  std::string fileName;
  std::vector<SourceRow> rows;
};

// Country code to the name the catalogue shows.
using CountryNames = std::map<std::string, std::string, std::less<>>;

struct StationSources {
  std::int64_t serial = 0;  // from SERIAL: the date the lists were taken, YYYYMMDD
  CountryNames countries;
  SourceTable tv;
  SourceTable radio;          // the directory of public radio
  SourceTable radioBitrates;  // the second radio list, which knows bitrates
  SourceTable webcams;
};

// Rows of a list with the columns country,name,bandwidth,type,url,extra.
// Throws Error "<file>:<line>: ..." on malformed input.
SourceTable ParseSourceTable(std::string_view fileName, std::string_view text);
// countries.csv (name,code,...); GB and UK become "U.K", US becomes "U.S.A"
// so that the country filter's fixed items find them.
CountryNames ParseCountries(std::string_view fileName, std::string_view text);
// A catalogue's serial written YYYYMMDD, blanks around it allowed; none for
// anything else.
std::optional<std::int64_t> ParseCatalogueSerial(std::string_view text);
// Reads the five lists of the stations folder and its SERIAL.
StationSources ReadStationSources(const std::filesystem::path& folder);

}  // namespace telvanta
