#pragma once
// The results of station checks, kept in a small SQLite file in the user's
// data folder (health.db), by address: the last two checks of each. Apart
// from the catalogue, so a catalogue refresh keeps them. A store belongs to
// the thread that opened it.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/Error.h"

struct sqlite3;
struct sqlite3_stmt;

namespace telvanta::health {

inline constexpr const char* HealthFileName = "health.db";

struct CheckEntry {
  std::int64_t at = 0;  // seconds since 1970
  bool alive = false;
  std::string reason;  // why it failed
  bool operator==(const CheckEntry&) const = default;
};

struct StationHealth {
  std::optional<CheckEntry> last;
  std::optional<CheckEntry> previous;
  bool operator==(const StationHealth&) const = default;
};

using HealthMap = std::unordered_map<std::string, StationHealth>;

struct HealthResult {
  std::string url;
  CheckEntry entry;
};

// "The station health file "<path>" can't be used: <reason>", with SQLite's
// result code.
class HealthFileError : public Error {
 public:
  HealthFileError(const std::filesystem::path& file, const std::string& reason, int code);
  const std::string& Reason() const { return reason_; }
  // Not a database, or one whose pages don't hold together.
  bool Damaged() const;

 private:
  std::string reason_;
  int code_;
};

class HealthStore {
 public:
  // Opens the file, creating it if need be; the file and SQLite's files
  // beside it are the user's alone (0600, in a 0700 folder). A lock held
  // elsewhere is waited for up to `busyWait` at each access. Throws
  // HealthFileError when the file cannot be opened or is damaged; a damaged
  // file is left as it is.
  explicit HealthStore(const std::filesystem::path& file,
                       std::chrono::milliseconds busyWait = std::chrono::seconds(2));
  ~HealthStore();
  HealthStore(const HealthStore&) = delete;
  HealthStore& operator=(const HealthStore&) = delete;

  // Makes `entry` the address's last check and its last the previous one.
  // Throws HealthFileError.
  void Record(const std::string& url, const CheckEntry& entry);
  // The same for each result in turn, all or none. Throws HealthFileError.
  void Record(const std::vector<HealthResult>& results);
  // Every address's checks. Throws HealthFileError.
  HealthMap LoadAll() const;

 private:
  struct Closer {
    void operator()(sqlite3* db) const;
  };
  struct Finalizer {
    void operator()(sqlite3_stmt* statement) const;
  };
  using Statement = std::unique_ptr<sqlite3_stmt, Finalizer>;
  Statement Prepare(const char* sql) const;
  void Execute(const char* sql) const;
  [[noreturn]] void Fail(int code) const;

  std::filesystem::path file_;
  std::unique_ptr<sqlite3, Closer> db_;
};

// Opens the store as above, but a damaged file is set aside beside it as
// "health.db.damaged" (SQLite's files with it) and a new one begun; then
// `notice` says so. Throws HealthFileError for every other failure.
std::unique_ptr<HealthStore> OpenHealthStore(const std::filesystem::path& file,
                                             std::chrono::milliseconds busyWait,
                                             std::string& notice);

}  // namespace telvanta::health
