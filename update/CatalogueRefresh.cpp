#include "update/CatalogueRefresh.h"

#include <array>
#include <string_view>
#include <system_error>

#include "catalogue/StationDatabase.h"
#include "common/DesCipher.h"
#include "common/Error.h"
#include "common/Files.h"
#include "common/ProgramPaths.h"

namespace telvanta {

namespace {

namespace fs = std::filesystem;

struct TableCheck {
  std::string_view sql;
  int urlColumn;
};

// The columns the lists and the TV filter read, URL column last.
constexpr std::array<TableCheck, 3> kTables = {{
    {"select country,name,speed,type,url from tv", 4},
    {"select country,name,url from radio", 2},
    {"select country,name,speed,url from webcam", 3},
}};

bool PrintableAddress(std::string_view url) {
  if (url.empty()) {
    return false;
  }
  for (const char c : url) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      return false;
    }
  }
  return true;
}

bool OpensWithTables(const fs::path& database) {
  std::error_code error;
  if (!fs::is_regular_file(database, error)) {
    return false;
  }
  try {
    StationDatabase db;
    db.db_connect(database);
    for (const auto& table : kTables) {
      db.Query(std::string(table.sql) + " limit 1").Next();
    }
    return true;
  } catch (const Error&) {
    return false;
  }
}

}  // namespace

CatalogueFault CheckCatalogue(const fs::path& database) {
  std::error_code error;
  if (!fs::is_regular_file(database, error)) {
    return CatalogueFault::NotADatabase;
  }
  StationDatabase db;
  db.db_connect(database);
  try {
    auto integrity = db.Query("pragma quick_check");
    if (!integrity.Next() || integrity.View(0) != "ok") {
      return CatalogueFault::NotADatabase;
    }
  } catch (const Error&) {
    return CatalogueFault::NotADatabase;
  }
  for (const auto& table : kTables) {
    std::optional<StationQuery> rows;
    try {
      rows.emplace(db.Query(table.sql));
    } catch (const Error&) {
      return CatalogueFault::MissingTable;
    }
    try {
      while (rows->Next()) {
        if (!PrintableAddress(DesDecryptHex(rows->View(table.urlColumn), StationKey))) {
          return CatalogueFault::BadUrl;
        }
      }
    } catch (const Error&) {
      return CatalogueFault::BadUrl;
    }
  }
  return CatalogueFault::None;
}

fs::path StagingFolder(const fs::path& dataFolder) { return dataFolder / "refresh"; }

fs::path RefreshedCatalogue(const fs::path& dataFolder) {
  return dataFolder / StationDatabaseFileName;
}

std::optional<fs::path> AcceptStagedCatalogue(const fs::path& dataFolder) {
  const fs::path staged = StagingFolder(dataFolder) / StationDatabaseFileName;
  if (CheckCatalogue(staged) == CatalogueFault::None) {
    return staged;
  }
  std::error_code ignored;
  fs::remove_all(StagingFolder(dataFolder), ignored);
  return std::nullopt;
}

bool InstallStagedCatalogue(const fs::path& dataFolder) {
  std::error_code error;
  fs::rename(StagingFolder(dataFolder) / StationDatabaseFileName, RefreshedCatalogue(dataFolder),
             error);
  std::error_code ignored;
  fs::remove_all(StagingFolder(dataFolder), ignored);
  return !error;
}

fs::path CatalogueToOpen(const fs::path& dataFolder, const fs::path& programFolder) {
  const fs::path refreshed = RefreshedCatalogue(dataFolder);
  return OpensWithTables(refreshed) ? refreshed : programFolder / StationDatabaseFileName;
}

fs::path CatalogueToOpen() { return CatalogueToOpen(UserDataFolder(), ProgramFolder()); }

}  // namespace telvanta
