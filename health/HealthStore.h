#pragma once
// The results of station checks, kept in a small SQLite file in the user's
// data folder (health.db), by address: the last two checks of each. Apart
// from the catalogue, so a catalogue refresh keeps them. One thread.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

struct sqlite3;

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

class HealthStore {
 public:
  // Opens the file, creating it if need be. Throws Error naming the file
  // when it cannot be opened or is damaged; a damaged file is left as it is.
  explicit HealthStore(const std::filesystem::path& file);
  ~HealthStore();
  HealthStore(const HealthStore&) = delete;
  HealthStore& operator=(const HealthStore&) = delete;

  // Makes `entry` the address's last check and its last the previous one,
  // in one transaction. Throws Error.
  void Record(const std::string& url, const CheckEntry& entry);
  // Every address's checks. Throws Error.
  HealthMap LoadAll() const;

 private:
  struct Closer {
    void operator()(sqlite3* db) const;
  };
  void Execute(const char* sql) const;
  [[noreturn]] void Fail(int code) const;

  std::filesystem::path file_;
  std::unique_ptr<sqlite3, Closer> db_;
};

}  // namespace telvanta::health
