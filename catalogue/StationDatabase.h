#pragma once
// The read-only connection to the station database listv2.dll. It opens on
// the first statement and stays open until Close(). One thread at a time: a
// worker opens a connection of its own.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace telvanta {

inline constexpr std::string_view StationDatabaseFileName = "listv2.dll";

class StationQuery;

class StationDatabase {
 public:
  StationDatabase();
  ~StationDatabase();
  StationDatabase(const StationDatabase&) = delete;
  StationDatabase& operator=(const StationDatabase&) = delete;

  // Sets the file without opening it; an open connection is closed first.
  void db_connect(const std::filesystem::path& path);
  // listv2.dll in the program folder.
  void db_connect();
  // For a file from elsewhere: every statement of this connection stops
  // (Error "interrupted") once *cancel is set or the deadline has passed, and
  // a text longer than a station's fields could be is refused.
  void Bound(const std::atomic<bool>* cancel, std::chrono::steady_clock::time_point deadline);
  void Close();
  bool IsOpen() const;
  // True while a prepared statement of this connection is not finalised.
  bool HasOpenStatements() const;
  const std::filesystem::path& Path() const { return path_; }

  // The catalogue's serial: the date of its station lists as YYYYMMDD, kept
  // as the database's user_version by the tools that make catalogues; 0 in
  // one made without. Throws as Query does.
  std::int64_t Serial();

  // Opens the connection when closed and prepares sql with the parameters
  // bound to ?1, ?2... Throws Error with the engine's text.
  StationQuery Query(std::string_view sql, const std::vector<std::string>& parameters = {});

 private:
  struct Closer {
    void operator()(sqlite3* db) const;
  };
  struct Limits {
    const std::atomic<bool>* cancel = nullptr;
    std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
    bool bounded = false;
  };
  void Open();
  void ApplyLimits();

  std::filesystem::path path_;
  Limits limits_;
  std::unique_ptr<sqlite3, Closer> db_;
};

// One prepared statement, finalised when it goes out of scope.
class StationQuery {
 public:
  // Moves to the next row; false at the end. Throws Error with the engine's text.
  bool Next();
  // The column of the current row as text; NULL reads as "".
  std::string Text(int column) const;
  // The same without a copy, valid until the next call of Next().
  std::string_view View(int column) const;

 private:
  friend class StationDatabase;
  struct Finalizer {
    void operator()(sqlite3_stmt* statement) const;
  };
  StationQuery(sqlite3* db, sqlite3_stmt* statement) : db_(db), statement_(statement) {}

  sqlite3* db_;
  std::unique_ptr<sqlite3_stmt, Finalizer> statement_;
};

}  // namespace telvanta
