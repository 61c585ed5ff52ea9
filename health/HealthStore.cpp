#include "health/HealthStore.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <system_error>

#include "common/Files.h"
#include "common/I18n.h"
#include "common/UniqueFd.h"

namespace telvanta::health {
namespace {

namespace fs = std::filesystem;

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

// SQLite keeps its journal and shared memory beside the file.
constexpr const char* kCompanions[] = {"-wal", "-shm"};

std::string ColumnText(sqlite3_stmt* statement, int column) {
  const auto* text = sqlite3_column_text(statement, column);
  return text != nullptr ? reinterpret_cast<const char*>(text) : "";
}

fs::path Sibling(const fs::path& file, std::string_view suffix) {
  fs::path sibling = file;
  sibling += suffix;
  return sibling;
}

// Takes the group's and others' rights from a file or folder of the user's.
void Tighten(const fs::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && st.st_uid == ::geteuid() && (st.st_mode & 077) != 0) {
    ::chmod(path.c_str(), st.st_mode & 07700);
  }
}

// The stations a user checks are theirs alone. SQLite gives its files the
// database's mode, so the file is made before SQLite opens it; earlier
// versions left the file and folder readable by all, so those are tightened.
void KeepPrivate(const fs::path& file) {
  MakePrivateFolders(file.parent_path());
  Tighten(file.parent_path());
  const UniqueFd created(::open(file.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
  if (!created) {
    Tighten(file);
  }
  for (const char* companion : kCompanions) {
    Tighten(Sibling(file, companion));
  }
}

// Moves the file and SQLite's files beside it to "<file>.damaged"; false
// when the file itself can't be moved.
bool SetAside(const fs::path& file, const fs::path& aside) {
  std::error_code ignored;
  for (const char* companion : kCompanions) {
    fs::remove(Sibling(aside, companion), ignored);
  }
  if (::rename(file.c_str(), aside.c_str()) != 0) {
    return false;
  }
  // A journal left beside the new file would be played into it.
  for (const char* companion : kCompanions) {
    if (::rename(Sibling(file, companion).c_str(), Sibling(aside, companion).c_str()) != 0) {
      fs::remove(Sibling(file, companion), ignored);
    }
  }
  return true;
}

}  // namespace

HealthFileError::HealthFileError(const fs::path& file, const std::string& reason, int code)
    : Error(Substitute(_("The station health file \"%1\" can't be used: %2"),
                       {file.string(), reason})),
      reason_(reason),
      code_(code) {}

bool HealthFileError::Damaged() const {
  return (code_ & 0xff) == SQLITE_CORRUPT || (code_ & 0xff) == SQLITE_NOTADB;
}

void HealthStore::Closer::operator()(sqlite3* db) const { sqlite3_close_v2(db); }

void HealthStore::Finalizer::operator()(sqlite3_stmt* statement) const {
  sqlite3_finalize(statement);
}

HealthStore::HealthStore(const fs::path& file, std::chrono::milliseconds busyWait) : file_(file) {
  KeepPrivate(file);
  sqlite3* raw = nullptr;
  const int opened =
      sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  db_.reset(raw);
  if (opened != SQLITE_OK) {
    Fail(opened);
  }
  sqlite3_busy_timeout(db_.get(), static_cast<int>(busyWait.count()));
  Execute(kSchema);
  // A damaged page may lie anywhere; find it now rather than mid-write.
  const Statement check = Prepare("PRAGMA quick_check");
  if (const int code = sqlite3_step(check.get()); code != SQLITE_ROW) {
    Fail(code);
  }
  if (ColumnText(check.get(), 0) != "ok") {
    Fail(SQLITE_CORRUPT);
  }
}

HealthStore::~HealthStore() = default;

void HealthStore::Fail(int code) const {
  const char* text =
      db_ && (code & 0xff) != SQLITE_CORRUPT ? sqlite3_errmsg(db_.get()) : sqlite3_errstr(code);
  throw HealthFileError(file_, text, code);
}

HealthStore::Statement HealthStore::Prepare(const char* sql) const {
  sqlite3_stmt* raw = nullptr;
  const int code = sqlite3_prepare_v2(db_.get(), sql, -1, &raw, nullptr);
  Statement statement(raw);
  if (code != SQLITE_OK) {
    Fail(code);
  }
  return statement;
}

void HealthStore::Execute(const char* sql) const {
  const int code = sqlite3_exec(db_.get(), sql, nullptr, nullptr, nullptr);
  if (code != SQLITE_OK) {
    Fail(code);
  }
}

void HealthStore::Record(const std::string& url, const CheckEntry& entry) {
  Record({{url, entry}});
}

void HealthStore::Record(const std::vector<HealthResult>& results) {
  Execute("BEGIN IMMEDIATE");
  try {
    const Statement statement = Prepare(kRecord);
    sqlite3_stmt* raw = statement.get();
    for (const auto& [url, entry] : results) {
      sqlite3_bind_text(raw, 1, url.data(), static_cast<int>(url.size()), SQLITE_TRANSIENT);
      sqlite3_bind_int64(raw, 2, entry.at);
      sqlite3_bind_int(raw, 3, entry.alive ? 1 : 0);
      sqlite3_bind_text(raw, 4, entry.reason.data(), static_cast<int>(entry.reason.size()),
                        SQLITE_TRANSIENT);
      if (const int code = sqlite3_step(raw); code != SQLITE_DONE) {
        Fail(code);
      }
      sqlite3_reset(raw);
    }
    Execute("COMMIT");
  } catch (const HealthFileError&) {
    sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

HealthMap HealthStore::LoadAll() const {
  const Statement statement = Prepare(kLoad);
  sqlite3_stmt* raw = statement.get();
  int code = SQLITE_OK;
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

std::unique_ptr<HealthStore> OpenHealthStore(const fs::path& file,
                                             std::chrono::milliseconds busyWait,
                                             std::string& notice) {
  try {
    return std::make_unique<HealthStore>(file, busyWait);
  } catch (const HealthFileError& error) {
    const fs::path aside = Sibling(file, ".damaged");
    if (!error.Damaged() || !SetAside(file, aside)) {
      throw;
    }
    notice = Substitute(_("The station health file \"%1\" is damaged (%2). It was set aside as "
                          "\"%3\" and a new one begun."),
                        {file.string(), error.Reason(), aside.string()});
  }
  return std::make_unique<HealthStore>(file, busyWait);
}

}  // namespace telvanta::health
