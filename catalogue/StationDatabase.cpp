#include "catalogue/StationDatabase.h"

#include <sqlite3.h>

#include "common/Error.h"
#include "common/I18n.h"
#include "common/ProgramPaths.h"

namespace telvanta {

namespace {

// Errors that say the file itself is wrong name it: "file is not a database"
// alone doesn't tell the user which file to replace.
Error EngineError(sqlite3* db, int code, const std::string& path) {
  const char* text = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(code);
  switch (code & 0xff) {
    case SQLITE_CANTOPEN:
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
      return Error(Substitute(_("The station catalogue \"%1\" can't be opened: %2"), {path, text}));
    default:
      return Error(text);
  }
}

// A station's fields are short; a megabyte is no catalogue's.
constexpr int kLongestText = 1 << 20;
// Virtual machine steps between looks at the cancel flag and the clock.
constexpr int kStepsPerLook = 10000;

std::string FileOf(sqlite3* db) {
  const char* file = sqlite3_db_filename(db, "main");
  return file != nullptr ? file : "";
}

}  // namespace

void StationDatabase::Closer::operator()(sqlite3* db) const { sqlite3_close_v2(db); }
void StationQuery::Finalizer::operator()(sqlite3_stmt* statement) const {
  sqlite3_finalize(statement);
}

StationDatabase::StationDatabase() = default;
StationDatabase::~StationDatabase() = default;

void StationDatabase::db_connect(const std::filesystem::path& path) {
  Close();
  path_ = path;
}

void StationDatabase::db_connect() {
  db_connect(std::filesystem::path(ProgramFolder()) / StationDatabaseFileName);
}

void StationDatabase::Bound(const std::atomic<bool>* cancel,
                            std::chrono::steady_clock::time_point deadline) {
  limits_ = {cancel, deadline, true};
  ApplyLimits();
}

void StationDatabase::ApplyLimits() {
  if (!db_ || !limits_.bounded) {
    return;
  }
  sqlite3_limit(db_.get(), SQLITE_LIMIT_LENGTH, kLongestText);
  sqlite3_progress_handler(
      db_.get(), kStepsPerLook,
      [](void* data) -> int {
        const auto& limits = *static_cast<const Limits*>(data);
        return (limits.cancel != nullptr && limits.cancel->load()) ||
               std::chrono::steady_clock::now() >= limits.deadline;
      },
      &limits_);
}

void StationDatabase::Close() { db_.reset(); }

bool StationDatabase::IsOpen() const { return db_ != nullptr; }

bool StationDatabase::HasOpenStatements() const {
  return db_ && sqlite3_next_stmt(db_.get(), nullptr) != nullptr;
}

// One thread (the UI thread) uses the connection, so it needs no mutex.
void StationDatabase::Open() {
  sqlite3* raw = nullptr;
  const int result =
      sqlite3_open_v2(path_.c_str(), &raw, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
  std::unique_ptr<sqlite3, Closer> db(raw);
  if (result != SQLITE_OK) {
    throw EngineError(raw, result, path_.string());
  }
  db_ = std::move(db);
  ApplyLimits();
}

StationQuery StationDatabase::Query(std::string_view sql,
                                    const std::vector<std::string>& parameters) {
  if (!db_) {
    Open();
  }
  sqlite3_stmt* raw = nullptr;
  const int prepared =
      sqlite3_prepare_v2(db_.get(), sql.data(), static_cast<int>(sql.size()), &raw, nullptr);
  StationQuery query(db_.get(), raw);
  if (prepared != SQLITE_OK) {
    throw EngineError(db_.get(), prepared, path_.string());
  }
  for (std::size_t i = 0; i < parameters.size(); ++i) {
    const std::string& value = parameters[i];
    if (sqlite3_bind_text(raw, static_cast<int>(i + 1), value.data(),
                          static_cast<int>(value.size()), SQLITE_TRANSIENT) != SQLITE_OK) {
      throw Error(sqlite3_errmsg(db_.get()));
    }
  }
  return query;
}

std::int64_t StationDatabase::Serial() {
  auto query = Query("pragma user_version");
  return query.Next() ? sqlite3_column_int64(query.statement_.get(), 0) : 0;
}

bool StationQuery::Next() {
  switch (sqlite3_step(statement_.get())) {
    case SQLITE_ROW:
      return true;
    case SQLITE_DONE:
      return false;
    default:
      throw EngineError(db_, sqlite3_extended_errcode(db_), FileOf(db_));
  }
}

std::string StationQuery::Text(int column) const { return std::string(View(column)); }

std::string_view StationQuery::View(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_.get(), column));
  if (text == nullptr) {
    return {};
  }
  return {text, static_cast<std::size_t>(sqlite3_column_bytes(statement_.get(), column))};
}

}  // namespace telvanta
