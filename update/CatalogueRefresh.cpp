#include "update/CatalogueRefresh.h"

#include <sys/stat.h>

#include <array>
#include <cstdio>
#include <sstream>
#include <string_view>
#include <system_error>
#include <vector>

#include "catalogue/StationDatabase.h"
#include "common/DesCipher.h"
#include "common/Error.h"
#include "common/Files.h"
#include "common/ProgramPaths.h"

namespace telvanta {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::string_view kNoteName = "listv2.checked";

struct TableCheck {
  std::string_view name;
  std::string_view sql;
  int urlColumn;
};

// The columns the lists and the TV filter read, URL column last.
constexpr std::array<TableCheck, 3> kTables = {{
    {"tv", "select country,name,speed,type,url from tv", 4},
    {"radio", "select country,name,url from radio", 2},
    {"webcam", "select country,name,speed,url from webcam", 3},
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

struct Bound {
  const std::atomic<bool>* cancel;
  Clock::time_point deadline;
  bool Passed() const { return (cancel != nullptr && cancel->load()) || Clock::now() >= deadline; }
};

std::int64_t Count(StationDatabase& db, std::string_view sql,
                   const std::vector<std::string>& parameters = {}) {
  auto query = db.Query(sql, parameters);
  return query.Next() ? std::stoll(query.Text(0)) : 0;
}

// A view or a virtual table would run the server's code at every read, a
// computed column its expression: only stored rows make a catalogue.
CatalogueFault CheckShape(StationDatabase& db) {
  if (Count(db, "select count(*) from sqlite_master where type in ('view','trigger')") > 0 ||
      Count(db, "select count(*) from pragma_table_list where schema='main' and type<>'table'") >
          0) {
    return CatalogueFault::NotPlain;
  }
  for (const auto& table : kTables) {
    const std::vector<std::string> name{std::string(table.name)};
    if (Count(db, "select count(*) from sqlite_master where type='table' and name=?1", name) == 0) {
      return CatalogueFault::MissingTable;
    }
    if (Count(db, "select count(*) from pragma_table_xinfo(?1) where hidden<>0", name) > 0) {
      return CatalogueFault::NotPlain;
    }
  }
  return CatalogueFault::None;
}

// An engine error is the fault of the step it came from, or Stopped when
// the bound ended it.
CatalogueFault CheckRows(StationDatabase& db, const TableCheck& table, const Bound& bound) {
  CatalogueFault onError = CatalogueFault::MissingTable;
  try {
    auto rows = db.Query(table.sql);
    std::int64_t count = 0;
    for (;;) {
      onError = CatalogueFault::NotADatabase;
      if (!rows.Next()) {
        break;
      }
      if (++count > MaxCatalogueRows) {
        return CatalogueFault::RowCount;
      }
      if (bound.Passed()) {
        return CatalogueFault::Stopped;
      }
      onError = CatalogueFault::BadUrl;
      if (!PrintableAddress(DesDecryptHex(rows.View(table.urlColumn), StationKey))) {
        return CatalogueFault::BadUrl;
      }
    }
    return count == 0 ? CatalogueFault::RowCount : CatalogueFault::None;
  } catch (const Error&) {
    return bound.Passed() ? CatalogueFault::Stopped : onError;
  }
}

// What the install noted of the file it checked.
struct CheckedNote {
  std::int64_t size = -1;
  std::int64_t seconds = 0;
  std::int64_t nanoseconds = 0;
  std::int64_t serial = 0;
  bool operator==(const CheckedNote&) const = default;
};

std::optional<CheckedNote> NoteOfFile(const fs::path& file, std::int64_t serial) {
  struct stat info {};
  if (::stat(file.c_str(), &info) != 0) {
    return std::nullopt;
  }
  return CheckedNote{info.st_size, info.st_mtim.tv_sec, info.st_mtim.tv_nsec, serial};
}

std::optional<CheckedNote> ReadNote(const fs::path& file) {
  try {
    const auto text = ReadWholeFile(file);
    CheckedNote note;
    std::istringstream in(text.value_or(""));
    if (in >> note.size >> note.seconds >> note.nanoseconds >> note.serial) {
      return note;
    }
  } catch (const Error&) {
    // An unreadable note is no note.
  }
  return std::nullopt;
}

bool WriteNote(const fs::path& file, const CheckedNote& note) {
  try {
    ReplaceFile(file, std::to_string(note.size) + " " + std::to_string(note.seconds) + " " +
                          std::to_string(note.nanoseconds) + " " + std::to_string(note.serial) +
                          "\n");
    return true;
  } catch (const Error&) {
    return false;
  }
}

void RemoveQuietly(const fs::path& file) {
  std::error_code ignored;
  fs::remove(file, ignored);
}

}  // namespace

CatalogueFault CheckCatalogue(const fs::path& database, const std::atomic<bool>* cancel) {
  std::error_code error;
  if (!fs::is_regular_file(database, error)) {
    return CatalogueFault::NotADatabase;
  }
  const Bound bound{cancel, Clock::now() + CatalogueCheckTime};
  StationDatabase db;
  db.db_connect(database);
  db.Bound(cancel, bound.deadline);
  try {
    auto integrity = db.Query("pragma quick_check");
    if (!integrity.Next() || integrity.View(0) != "ok") {
      return CatalogueFault::NotADatabase;
    }
    if (const auto fault = CheckShape(db); fault != CatalogueFault::None) {
      return fault;
    }
  } catch (const Error&) {
    return bound.Passed() ? CatalogueFault::Stopped : CatalogueFault::NotADatabase;
  }
  for (const auto& table : kTables) {
    if (const auto fault = CheckRows(db, table, bound); fault != CatalogueFault::None) {
      return fault;
    }
  }
  return CatalogueFault::None;
}

std::int64_t CatalogueSerial(const fs::path& database) {
  std::error_code error;
  if (!fs::is_regular_file(database, error)) {
    return -1;
  }
  try {
    StationDatabase db;
    db.db_connect(database);
    return db.Serial();
  } catch (const Error&) {
    return -1;
  }
}

fs::path StagingFolder(const fs::path& dataFolder) { return dataFolder / "refresh"; }

fs::path RefreshedCatalogue(const fs::path& dataFolder) {
  return dataFolder / StationDatabaseFileName;
}

fs::path SetAsideCatalogue(const fs::path& dataFolder) {
  return dataFolder / (std::string(StationDatabaseFileName) + ".damaged");
}

std::optional<fs::path> AcceptStagedCatalogue(const fs::path& dataFolder,
                                              const fs::path& programFolder,
                                              const std::atomic<bool>* cancel) {
  const fs::path staged = StagingFolder(dataFolder) / StationDatabaseFileName;
  // Noted before the check, so a change made during it shows at the next start.
  const auto before = NoteOfFile(staged, 0);
  if (before && CheckCatalogue(staged, cancel) == CatalogueFault::None) {
    CheckedNote note = *before;
    note.serial = CatalogueSerial(staged);
    if (note.serial >= CatalogueSerial(programFolder / StationDatabaseFileName) &&
        WriteNote(StagingFolder(dataFolder) / kNoteName, note)) {
      return staged;
    }
  }
  std::error_code ignored;
  fs::remove_all(StagingFolder(dataFolder), ignored);
  return std::nullopt;
}

bool InstallStagedCatalogue(const fs::path& dataFolder) {
  // The catalogue first: a note that does not match its file only makes the
  // next start fall back to the shipped catalogue.
  std::error_code error;
  fs::rename(StagingFolder(dataFolder) / StationDatabaseFileName, RefreshedCatalogue(dataFolder),
             error);
  if (!error) {
    fs::rename(StagingFolder(dataFolder) / kNoteName, dataFolder / kNoteName, error);
  }
  std::error_code ignored;
  fs::remove_all(StagingFolder(dataFolder), ignored);
  return !error;
}

fs::path CatalogueToOpen(const fs::path& dataFolder, const fs::path& programFolder) {
  const fs::path refreshed = RefreshedCatalogue(dataFolder);
  const fs::path shipped = programFolder / StationDatabaseFileName;
  struct stat info {};
  if (::lstat(refreshed.c_str(), &info) != 0) {
    return shipped;
  }
  const auto note = ReadNote(dataFolder / kNoteName);
  if (!note || NoteOfFile(refreshed, note->serial) != note) {
    std::rename(refreshed.c_str(), SetAsideCatalogue(dataFolder).c_str());
    RemoveQuietly(dataFolder / kNoteName);
    return shipped;
  }
  if (CatalogueSerial(shipped) > note->serial) {
    RemoveQuietly(refreshed);
    RemoveQuietly(dataFolder / kNoteName);
    return shipped;
  }
  return refreshed;
}

fs::path CatalogueToOpen() { return CatalogueToOpen(UserDataFolder(), ProgramFolder()); }

}  // namespace telvanta
