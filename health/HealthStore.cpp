#include "health/HealthStore.h"

#include <sqlite3.h>

#include "common/Error.h"

namespace telvanta::health {
namespace {

// WAL: a crash mid-write loses at most the last check, never the file.
constexpr const char* kSchema =
    "PRAGMA journal_mode=WAL;"
    "PRAGMA synchronous=NORMAL;"
    "CREATE TABLE IF NOT EXISTS health ("
    " url TEXT PRIMARY KEY NOT NULL,"
    " at INTEGER NOT NULL, alive INTEGER NOT NULL, reason TEXT NOT NULL,"
    " prev_at INTEGER, prev_alive INTEGER, prev_reason TEXT) WITHOUT ROWID;";

// Every right-hand side reads the row as it was, so the last check moves
// to the previous one in the same statement.
constexpr const char* kRecord =
    "INSERT INTO health (url, at, alive, reason) VALUES (?1, ?2, ?3, ?4) "
    "ON CONFLICT (url) DO UPDATE SET prev_at = at, prev_alive = alive, prev_reason = reason,"
    " at = excluded.at, alive = excluded.alive, reason = excluded.reason";

constexpr const char* kLoad =
    "SELECT url, at, alive, reason, prev_at, prev_alive, prev_reason FROM health";

struct Finalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, Finalizer>;

std::string ColumnText(sqlite3_stmt* statement, int column) {
  const auto* text = sqlite3_column_text(statement, column);
  return text != nullptr ? reinterpret_cast<const char*>(text) : "";
}

}  // namespace

void HealthStore::Closer::operator()(sqlite3* db) const { sqlite3_close_v2(db); }

HealthStore::HealthStore(const std::filesystem::path& file) : file_(file) {
  std::error_code ignored;
  std::filesystem::create_directories(file.parent_path(), ignored);
  sqlite3* raw = nullptr;
  const int opened =
      sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  db_.reset(raw);
  if (opened != SQLITE_OK) {
    Fail(opened);
  }
  sqlite3_busy_timeout(db_.get(), 2000);
  Execute(kSchema);
  // A damaged page may lie anywhere; find it now rather than mid-write.
  Statement check;
  sqlite3_stmt* statement = nullptr;
  int code = sqlite3_prepare_v2(db_.get(), "PRAGMA quick_check", -1, &statement, nullptr);
  check.reset(statement);
  if (code != SQLITE_OK) {
    Fail(code);
  }
  code = sqlite3_step(statement);
  if (code != SQLITE_ROW) {
    Fail(code);
  }
  if (ColumnText(statement, 0) != "ok") {
    Fail(SQLITE_CORRUPT);
  }
}

HealthStore::~HealthStore() = default;

void HealthStore::Fail(int code) const {
  const char* text =
      db_ && (code & 0xff) != SQLITE_CORRUPT ? sqlite3_errmsg(db_.get()) : sqlite3_errstr(code);
  throw Error("The station health file \"" + file_.string() + "\" can't be used: " + text);
}

void HealthStore::Execute(const char* sql) const {
  const int code = sqlite3_exec(db_.get(), sql, nullptr, nullptr, nullptr);
  if (code != SQLITE_OK) {
    Fail(code);
  }
}

void HealthStore::Record(const std::string& url, const CheckEntry& entry) {
  sqlite3_stmt* raw = nullptr;
  int code = sqlite3_prepare_v2(db_.get(), kRecord, -1, &raw, nullptr);
  Statement statement(raw);
  if (code != SQLITE_OK) {
    Fail(code);
  }
  sqlite3_bind_text(raw, 1, url.data(), static_cast<int>(url.size()), SQLITE_TRANSIENT);
  sqlite3_bind_int64(raw, 2, entry.at);
  sqlite3_bind_int(raw, 3, entry.alive ? 1 : 0);
  sqlite3_bind_text(raw, 4, entry.reason.data(), static_cast<int>(entry.reason.size()),
                    SQLITE_TRANSIENT);
  code = sqlite3_step(raw);
  if (code != SQLITE_DONE) {
    Fail(code);
  }
}

HealthMap HealthStore::LoadAll() const {
  sqlite3_stmt* raw = nullptr;
  int code = sqlite3_prepare_v2(db_.get(), kLoad, -1, &raw, nullptr);
  Statement statement(raw);
  if (code != SQLITE_OK) {
    Fail(code);
  }
  HealthMap map;
  while ((code = sqlite3_step(raw)) == SQLITE_ROW) {
    StationHealth& health = map[ColumnText(raw, 0)];
    health.last = CheckEntry{sqlite3_column_int64(raw, 1), sqlite3_column_int(raw, 2) != 0,
                             ColumnText(raw, 3)};
    if (sqlite3_column_type(raw, 4) != SQLITE_NULL) {
      health.previous = CheckEntry{sqlite3_column_int64(raw, 4), sqlite3_column_int(raw, 5) != 0,
                                   ColumnText(raw, 6)};
    }
  }
  if (code != SQLITE_DONE) {
    Fail(code);
  }
  return map;
}

}  // namespace telvanta::health
