#pragma once
// Writes the station database listv2.dll from an assembled catalogue.

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "tools/catalogue/CatalogueRules.h"

namespace telvanta {

// Text columns compare and sort without regard to letter case, as the
// program's statements expect.
inline constexpr std::string_view CatalogueSchema =
    "CREATE TABLE tv(country TEXT COLLATE NOCASE, name TEXT COLLATE NOCASE,"
    " speed TEXT COLLATE NOCASE, url TEXT, type TEXT COLLATE NOCASE);"
    "CREATE TABLE radio(country TEXT COLLATE NOCASE, name TEXT COLLATE NOCASE, url TEXT,"
    " speed TEXT COLLATE NOCASE);"
    "CREATE TABLE webcam(country TEXT COLLATE NOCASE, name TEXT COLLATE NOCASE,"
    " speed TEXT COLLATE NOCASE, url TEXT);";

// The lists are read by country then name; with these the engine reads them
// in order instead of sorting them on every load.
inline constexpr std::string_view CatalogueIndexes =
    "CREATE INDEX tv_by_country_name ON tv(country, name);"
    "CREATE INDEX radio_by_country_name ON radio(country, name);"
    "CREATE INDEX webcam_by_country_name ON webcam(country, name);";

// Stores the rows in their order (so rowid order is the catalogue's order),
// each URL enciphered with DesEncryptHex under StationKey, and the serial as
// the database's user_version (StationDatabase::Serial). The file is built
// beside `path` and renamed over it only when complete: on any error `path`
// is left as it was and the error (the engine's text) is thrown as Error.
// The same catalogue always gives the same bytes.
void WriteCatalogue(const Catalogue& catalogue, const std::filesystem::path& path);

// Sets the serial of an existing catalogue in place; throws Error.
void WriteCatalogueSerial(const std::filesystem::path& path, std::int64_t serial);

}  // namespace telvanta
