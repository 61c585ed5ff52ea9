#pragma once
// Small station databases for the catalogue tests.

#include <sqlite3.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "tests/support/TempFolder.h"
#include "tools/catalogue/CatalogueRules.h"
#include "tools/catalogue/CatalogueWriter.h"

namespace telvanta::test {

inline CatalogueRow Row(std::string country, std::string name, std::string speed, std::string url,
                        std::string type = "") {
  return {std::move(country), std::move(name), std::move(speed), std::move(url), std::move(type)};
}

// Writes a station database with the builder's schema, rows in this order.
inline void MakeDatabase(const std::filesystem::path& path, std::vector<CatalogueRow> tv,
                         std::vector<CatalogueRow> radio = {},
                         std::vector<CatalogueRow> webcam = {}) {
  Catalogue catalogue;
  catalogue.tv.rows = std::move(tv);
  catalogue.radio.rows = std::move(radio);
  catalogue.webcam.rows = std::move(webcam);
  WriteCatalogue(catalogue, path);
}

// Runs statements on a database file outside the program's read-only connection.
inline void ExecSql(const std::filesystem::path& path, const std::string& sql) {
  sqlite3* db = nullptr;
  const int opened =
      sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  std::string error;
  if (opened != SQLITE_OK) {
    error = sqlite3_errmsg(db);
  } else if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
    error = sqlite3_errmsg(db);
  }
  sqlite3_close(db);
  if (!error.empty()) {
    throw std::runtime_error(error + " in: " + sql);
  }
}

}  // namespace telvanta::test
