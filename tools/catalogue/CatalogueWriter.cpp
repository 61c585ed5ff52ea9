#include "tools/catalogue/CatalogueWriter.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>

#include "common/DesCipher.h"
#include "common/Error.h"

namespace telvanta {
namespace {

struct DatabaseCloser {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct StatementFinalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using DatabasePtr = std::unique_ptr<sqlite3, DatabaseCloser>;
using StatementPtr = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

[[noreturn]] void ThrowEngineError(sqlite3* db) { throw Error(sqlite3_errmsg(db)); }

void Exec(sqlite3* db, std::string_view sql) {
  if (sqlite3_exec(db, std::string(sql).c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
    ThrowEngineError(db);
  }
}

void BindText(sqlite3* db, sqlite3_stmt* statement, int index, const std::string& text) {
  if (sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()),
                        SQLITE_STATIC) != SQLITE_OK) {
    ThrowEngineError(db);
  }
}

// columns: which of country, name, speed, url, type the table holds, in its order.
enum class Column { Country, Name, Speed, Url, Type };

const std::string& Field(const CatalogueRow& row, const std::string& cipheredUrl, Column c) {
  switch (c) {
    case Column::Country:
      return row.country;
    case Column::Name:
      return row.name;
    case Column::Speed:
      return row.speed;
    case Column::Url:
      return cipheredUrl;
    case Column::Type:
      return row.type;
  }
  return row.name;
}

void InsertRows(sqlite3* db, std::string_view sql, std::initializer_list<Column> columns,
                const CatalogueTable& table) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &raw, nullptr) !=
      SQLITE_OK) {
    ThrowEngineError(db);
  }
  const StatementPtr statement(raw);
  for (const CatalogueRow& row : table.rows) {
    const std::string ciphered = DesEncryptHex(row.url, StationKey);
    int index = 1;
    for (const Column c : columns) {
      BindText(db, raw, index++, Field(row, ciphered, c));
    }
    if (sqlite3_step(raw) != SQLITE_DONE) {
      ThrowEngineError(db);
    }
    sqlite3_reset(raw);
  }
}

DatabasePtr OpenForWriting(const std::string& file) {
  sqlite3* raw = nullptr;
  const int opened = sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
  DatabasePtr db(raw);
  if (opened != SQLITE_OK) {
    if (raw == nullptr) {
      throw Error(sqlite3_errstr(opened));
    }
    ThrowEngineError(raw);
  }
  return db;
}

std::string SerialStatement(std::int64_t serial) {
  return "PRAGMA user_version=" + std::to_string(serial) + ";";
}

void WriteTables(const Catalogue& catalogue, const std::string& file) {
  const DatabasePtr db = OpenForWriting(file);
  sqlite3* raw = db.get();
  // The file is thrown away on failure, so it needs no journal; it is
  // flushed to disk as a whole once written.
  Exec(raw, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN;");
  Exec(raw, CatalogueSchema);
  using C = Column;
  InsertRows(raw, "INSERT INTO tv(country,name,speed,url,type) VALUES(?,?,?,?,?)",
             {C::Country, C::Name, C::Speed, C::Url, C::Type}, catalogue.tv);
  InsertRows(raw, "INSERT INTO radio(country,name,url,speed) VALUES(?,?,?,?)",
             {C::Country, C::Name, C::Url, C::Speed}, catalogue.radio);
  InsertRows(raw, "INSERT INTO webcam(country,name,speed,url) VALUES(?,?,?,?)",
             {C::Country, C::Name, C::Speed, C::Url}, catalogue.webcam);
  Exec(raw, CatalogueIndexes);
  Exec(raw, SerialStatement(catalogue.serial));
  Exec(raw, "COMMIT;");
}

// A temporary file beside the target, removed unless kept.
class TempFile {
 public:
  explicit TempFile(const std::filesystem::path& target) {
    std::string pattern = target.string() + ".XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) {
      throw Error(CannotCreateFileMessage(target.string(), errno));
    }
    close(fd);
    path_ = pattern;
  }
  ~TempFile() {
    if (!kept_) {
      std::error_code ignored;
      std::filesystem::remove(path_, ignored);
    }
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  void Keep() { kept_ = true; }

 private:
  std::filesystem::path path_;
  bool kept_ = false;
};

void SyncFile(const std::filesystem::path& path, int flags) {
  const int fd = open(path.c_str(), flags);
  if (fd < 0) {
    throw Error(CannotOpenFileMessage(path.string(), errno));
  }
  const bool synced = fsync(fd) == 0;
  const int error = errno;
  close(fd);
  if (!synced) {
    throw Error(CannotCreateFileMessage(path.string(), error));
  }
}

}  // namespace

void WriteCatalogue(const Catalogue& catalogue, const std::filesystem::path& path) {
  TempFile temp(path);
  WriteTables(catalogue, temp.Path().string());
  SyncFile(temp.Path(), O_RDONLY);
  std::filesystem::permissions(temp.Path(), std::filesystem::perms(0644));
  std::filesystem::rename(temp.Path(), path);
  temp.Keep();
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
  SyncFile(folder, O_RDONLY | O_DIRECTORY);
}

void WriteCatalogueSerial(const std::filesystem::path& path, std::int64_t serial) {
  const DatabasePtr db = OpenForWriting(path.string());
  Exec(db.get(), SerialStatement(serial));
}

}  // namespace telvanta
