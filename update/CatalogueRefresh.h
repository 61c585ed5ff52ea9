#pragma once
// Where a refreshed catalogue goes and when it may replace the one in use.
// The program folder may be a read-only system-wide install, so a refresh
// lands below the user's data folder, is checked whole in a staging folder,
// and only then renamed over the user's listv2.dll, with a note of the file
// checked (its size, time and serial) beside it. Any thread, except
// InstallStagedCatalogue (the UI thread, with the database connection closed).

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>

namespace telvanta {

enum class CatalogueFault {
  None,
  NotADatabase,  // missing, not SQLite, or damaged pages
  MissingTable,  // no tv, radio or webcam table with the columns the lists read
  NotPlain,      // a view, trigger, virtual table or computed column
  RowCount,      // an empty list, or more rows than any catalogue holds
  BadUrl,        // a URL that does not decipher to a printable address
  Stopped,       // cancelled, or longer than a whole catalogue can take
};

// Bounds of a check: the shipped catalogue holds some 50,000 rows and is
// checked in a second or two.
inline constexpr std::int64_t MaxCatalogueRows = 1'000'000;  // per list
inline constexpr std::chrono::seconds CatalogueCheckTime{60};

// Reads every row the lists read and deciphers every URL, so one bad row
// from the server can't cut the lists short for every user. Only plain
// tables count, and the check stops once *cancel is set.
CatalogueFault CheckCatalogue(const std::filesystem::path& database,
                              const std::atomic<bool>* cancel = nullptr);

// The catalogue's serial (StationDatabase::Serial); -1 when it can't be read.
std::int64_t CatalogueSerial(const std::filesystem::path& database);

// The folder a downloaded archive is extracted into: dataFolder/refresh.
std::filesystem::path StagingFolder(const std::filesystem::path& dataFolder);
// The refreshed catalogue in use: dataFolder/listv2.dll.
std::filesystem::path RefreshedCatalogue(const std::filesystem::path& dataFolder);
// Where a refreshed catalogue that is no longer whole is put aside.
std::filesystem::path SetAsideCatalogue(const std::filesystem::path& dataFolder);

// The staged listv2.dll when the archive brought one, it is whole and not
// older than the shipped one; else none, and the staging folder is removed.
std::optional<std::filesystem::path> AcceptStagedCatalogue(
    const std::filesystem::path& dataFolder, const std::filesystem::path& programFolder,
    const std::atomic<bool>* cancel = nullptr);

// Renames the staged catalogue and its note over the refreshed one; false
// when it can't (the old one then stays). Removes the staging folder either way.
bool InstallStagedCatalogue(const std::filesystem::path& dataFolder);

// The listv2.dll to open, decided in a few file-system calls: the user's
// refreshed one while it is the file its install checked and not older than
// the shipped one, else the shipped one in the program folder. A refreshed
// one that changed since is set aside, an older one removed, so neither is
// tried again.
std::filesystem::path CatalogueToOpen(const std::filesystem::path& dataFolder,
                                      const std::filesystem::path& programFolder);
// The same for UserDataFolder() and ProgramFolder().
std::filesystem::path CatalogueToOpen();

}  // namespace telvanta
