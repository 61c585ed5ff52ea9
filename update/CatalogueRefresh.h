#pragma once
// Where a refreshed catalogue goes and when it may replace the one in use.
// The program folder may be a read-only system-wide install, so a refresh
// lands below the user's data folder, is checked whole in a staging folder,
// and only then renamed over the user's listv2.dll. Any thread, except
// InstallStagedCatalogue (the UI thread, with the database connection closed).

#include <filesystem>
#include <optional>

namespace telvanta {

enum class CatalogueFault {
  None,
  NotADatabase,  // missing, not SQLite, or damaged pages
  MissingTable,  // no tv, radio or webcam table with the columns the lists read
  BadUrl,        // a URL that does not decipher to a printable address
};

// Reads every row the lists read and deciphers every URL, so one bad row
// from the server can't cut the lists short for every user.
CatalogueFault CheckCatalogue(const std::filesystem::path& database);

// The folder a downloaded archive is extracted into: dataFolder/refresh.
std::filesystem::path StagingFolder(const std::filesystem::path& dataFolder);
// The refreshed catalogue in use: dataFolder/listv2.dll.
std::filesystem::path RefreshedCatalogue(const std::filesystem::path& dataFolder);

// The staged listv2.dll when the archive brought one and it is whole; else
// none, and the staging folder is removed.
std::optional<std::filesystem::path> AcceptStagedCatalogue(const std::filesystem::path& dataFolder);

// Renames the staged catalogue over the refreshed one; false when it can't
// (the old one then stays). Removes the staging folder either way.
bool InstallStagedCatalogue(const std::filesystem::path& dataFolder);

// The listv2.dll to open: the user's refreshed one when it is there and opens
// with its three tables, else the shipped one in the program folder.
std::filesystem::path CatalogueToOpen(const std::filesystem::path& dataFolder,
                                      const std::filesystem::path& programFolder);
// The same for UserDataFolder() and ProgramFolder().
std::filesystem::path CatalogueToOpen();

}  // namespace telvanta
