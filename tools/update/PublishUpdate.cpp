// Publishes a release folder for a static update server: listv2.zip holding
// the catalogue, and tvinfo.ini naming the newest release and carrying the
// announcement for this version.
//   telvanta_publish_update <listv2.dll> <release folder>
//                           [--announce TEXT] [--url URL] [--newest VERSION]

#include <archive.h>
#include <archive_entry.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "catalogue/StationDatabase.h"
#include "common/Error.h"
#include "common/Files.h"
#include "common/ProgramPaths.h"
#include "update/CatalogueRefresh.h"
#include "update/UpdateInfo.h"

namespace {

namespace fs = std::filesystem;
using namespace telvanta;

struct Options {
  fs::path catalogue;
  fs::path folder;
  std::string announce;
  std::string url;
  std::string newest = std::string(ProgramVersion);
};

std::optional<Options> ParseArguments(int argc, char** argv) {
  if (argc < 3 || argc % 2 == 0) {
    return std::nullopt;
  }
  Options options;
  options.catalogue = argv[1];
  options.folder = argv[2];
  for (int i = 3; i + 1 < argc; i += 2) {
    const std::string_view name = argv[i];
    if (name == "--announce") {
      options.announce = argv[i + 1];
    } else if (name == "--url") {
      options.url = argv[i + 1];
    } else if (name == "--newest") {
      options.newest = argv[i + 1];
    } else {
      return std::nullopt;
    }
  }
  return options;
}

// INI values are one line each; a line break would start a key of its own.
void RequireOneLine(std::string_view what, std::string_view value) {
  if (value.find_first_of("\r\n") != std::string_view::npos) {
    throw Error(std::string(what) + " must be one line");
  }
}

void WriteArchive(const fs::path& catalogue, const fs::path& zip) {
  const std::optional<std::string> bytes = ReadWholeFile(catalogue);
  if (!bytes) {
    throw Error("Cannot open file \"" + catalogue.string() + "\".");
  }
  const fs::path temporary = zip.string() + ".part";
  {
    const auto free = [](archive* a) { archive_write_free(a); };
    std::unique_ptr<archive, decltype(free)> writer(archive_write_new(), free);
    std::unique_ptr<archive_entry, decltype(&archive_entry_free)> entry(archive_entry_new(),
                                                                        archive_entry_free);
    archive_entry_set_pathname(entry.get(), std::string(StationDatabaseFileName).c_str());
    archive_entry_set_filetype(entry.get(), AE_IFREG);
    archive_entry_set_perm(entry.get(), 0644);
    archive_entry_set_size(entry.get(), static_cast<la_int64_t>(bytes->size()));
    if (archive_write_set_format_zip(writer.get()) != ARCHIVE_OK ||
        archive_write_open_filename(writer.get(), temporary.c_str()) != ARCHIVE_OK ||
        archive_write_header(writer.get(), entry.get()) != ARCHIVE_OK ||
        archive_write_data(writer.get(), bytes->data(), bytes->size()) !=
            static_cast<la_ssize_t>(bytes->size()) ||
        archive_write_close(writer.get()) != ARCHIVE_OK) {
      const std::string reason = archive_error_string(writer.get()) != nullptr
                                     ? archive_error_string(writer.get())
                                     : "unknown error";
      std::remove(temporary.c_str());
      throw Error("Cannot create file \"" + zip.string() + "\". " + reason);
    }
  }
  fs::rename(temporary, zip);
}

std::string UpdateInfoText(const Options& options) {
  return "[" + std::string(CurrentSection) + "]\r\nVersion=" + options.newest + "\r\n\r\n[" +
         std::string(ProgramVersion) + "]\r\nAnnounce=" + options.announce +
         "\r\nURL=" + options.url + "\r\n";
}

}  // namespace

int main(int argc, char** argv) {
  const auto options = ParseArguments(argc, argv);
  if (!options) {
    std::cerr << "usage: " << argv[0]
              << " <listv2.dll> <release folder> [--announce TEXT] [--url URL]"
                 " [--newest VERSION]\n";
    return 2;
  }
  try {
    RequireOneLine("The announcement", options->announce);
    RequireOneLine("The link", options->url);
    RequireOneLine("The newest version", options->newest);
    // A broken catalogue on the server would be refused by every user anyway.
    if (CheckCatalogue(options->catalogue) != CatalogueFault::None) {
      throw Error("\"" + options->catalogue.string() + "\" is not a whole station catalogue");
    }
    fs::create_directories(options->folder);
    WriteArchive(options->catalogue, options->folder / CatalogueArchiveFileName);
    ReplaceFile(options->folder / UpdateInfoFileName, UpdateInfoText(*options));
    return 0;
  } catch (const std::exception& error) {
    std::cerr << error.what() << '\n';
    return 1;
  }
}
