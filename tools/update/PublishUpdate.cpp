// Publishes a release folder for a static update server: listv2.zip holding
// the catalogue with its serial, and tvinfo.ini naming the newest release and
// carrying the announcement for this version beside those for the others.
//   telvanta_publish_update <listv2.dll> <release folder> [--announce TEXT]
//                           [--url URL] [--newest VERSION] [--serial YYYYMMDD]
// The serial is today's date (UTC) unless given, or the catalogue's own when
// that is later. The files are readable by all: a web server running as
// another user must read them.

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/StationDatabase.h"
#include "common/AsciiText.h"
#include "common/Error.h"
#include "common/Files.h"
#include "common/ProgramPaths.h"
#include "tools/catalogue/CatalogueWriter.h"
#include "tools/catalogue/StationSources.h"
#include "update/CatalogueRefresh.h"
#include "update/UpdateInfo.h"

namespace {

namespace fs = std::filesystem;
using namespace telvanta;

constexpr auto kPublished = fs::perms(0644);

struct Options {
  fs::path catalogue;
  fs::path folder;
  std::string announce;
  std::string url;
  std::string newest = std::string(ProgramVersion);
  std::optional<std::int64_t> serial;
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
    } else if (name == "--serial") {
      options.serial = ParseCatalogueSerial(argv[i + 1]);
      if (!options.serial) {
        return std::nullopt;
      }
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

std::int64_t TodaysSerial() {
  const std::chrono::year_month_day today{
      std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now())};
  return static_cast<int>(today.year()) * 10000 + static_cast<unsigned>(today.month()) * 100 +
         static_cast<unsigned>(today.day());
}

// A file of ours in the release folder, removed when done.
class Scratch {
 public:
  explicit Scratch(fs::path path) : path_(std::move(path)) {}
  ~Scratch() {
    std::error_code ignored;
    fs::remove(path_, ignored);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

// The catalogue as published: a copy carrying the serial, checked whole as
// every user will check it.
std::string StampedCatalogue(const Options& options, const fs::path& scratch) {
  const std::optional<std::string> bytes = ReadWholeFile(options.catalogue);
  if (!bytes) {
    throw Error("Cannot open file \"" + options.catalogue.string() + "\".");
  }
  ReplaceFile(scratch, *bytes);
  const std::int64_t serial =
      options.serial.value_or(std::max(CatalogueSerial(scratch), TodaysSerial()));
  try {
    WriteCatalogueSerial(scratch, serial);
  } catch (const Error&) {
    // Not a database: the check says so.
  }
  if (CheckCatalogue(scratch) != CatalogueFault::None || CatalogueSerial(scratch) != serial) {
    throw Error("\"" + options.catalogue.string() + "\" is not a whole station catalogue");
  }
  return ReadWholeFile(scratch).value_or("");
}

void WriteArchive(const std::string& catalogue, const fs::path& zip) {
  const fs::path temporary = zip.string() + ".part";
  {
    const auto free = [](archive* a) { archive_write_free(a); };
    std::unique_ptr<archive, decltype(free)> writer(archive_write_new(), free);
    std::unique_ptr<archive_entry, decltype(&archive_entry_free)> entry(archive_entry_new(),
                                                                        archive_entry_free);
    archive_entry_set_pathname(entry.get(), std::string(StationDatabaseFileName).c_str());
    archive_entry_set_filetype(entry.get(), AE_IFREG);
    archive_entry_set_perm(entry.get(), 0644);
    archive_entry_set_size(entry.get(), static_cast<la_int64_t>(catalogue.size()));
    if (archive_write_set_format_zip(writer.get()) != ARCHIVE_OK ||
        archive_write_open_filename(writer.get(), temporary.c_str()) != ARCHIVE_OK ||
        archive_write_header(writer.get(), entry.get()) != ARCHIVE_OK ||
        archive_write_data(writer.get(), catalogue.data(), catalogue.size()) !=
            static_cast<la_ssize_t>(catalogue.size()) ||
        archive_write_close(writer.get()) != ARCHIVE_OK) {
      const std::string reason = archive_error_string(writer.get()) != nullptr
                                     ? archive_error_string(writer.get())
                                     : "unknown error";
      std::remove(temporary.c_str());
      throw Error("Cannot create file \"" + zip.string() + "\". " + reason);
    }
  }
  fs::permissions(temporary, kPublished);
  fs::rename(temporary, zip);
}

struct IniSection {
  std::string name;  // empty for the lines before the first section
  std::vector<std::string> lines;
};

std::vector<IniSection> SplitSections(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) {
    text.remove_prefix(3);
  }
  std::vector<IniSection> sections(1);
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.ends_with('\r')) {
      line.remove_suffix(1);
    }
    const std::string_view trimmed = TrimAsciiSpace(line);
    if (trimmed.starts_with('[')) {
      const std::string_view name = trimmed.substr(1, trimmed.find(']') - 1);
      sections.push_back({std::string(TrimAsciiSpace(name)), {}});
    }
    sections.back().lines.emplace_back(line);
  }
  return sections;
}

// The lines without the blank ones at the end, after a blank line.
void AppendSection(std::string& text, const std::vector<std::string>& lines) {
  auto last = lines.end();
  while (last != lines.begin() && TrimAsciiSpace(*(last - 1)).empty()) {
    --last;
  }
  if (last == lines.begin()) {
    return;
  }
  if (!text.empty()) {
    text += "\r\n";
  }
  for (auto line = lines.begin(); line != last; ++line) {
    text += *line + "\r\n";
  }
}

// "Current" and our version's section written anew, every other section of
// the earlier file as it was: older releases keep their announcements.
std::string UpdateInfoText(const Options& options, std::string_view earlier) {
  const auto sections = SplitSections(earlier);
  std::string text;
  AppendSection(text, sections.front().lines);
  AppendSection(text, {"[" + std::string(CurrentSection) + "]", "Version=" + options.newest});
  AppendSection(text, {"[" + std::string(ProgramVersion) + "]", "Announce=" + options.announce,
                       "URL=" + options.url});
  for (auto section = sections.begin() + 1; section != sections.end(); ++section) {
    if (!EqualsIgnoringAsciiCase(section->name, CurrentSection) &&
        !EqualsIgnoringAsciiCase(section->name, ProgramVersion)) {
      AppendSection(text, section->lines);
    }
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const auto options = ParseArguments(argc, argv);
  if (!options) {
    std::cerr << "usage: " << argv[0]
              << " <listv2.dll> <release folder> [--announce TEXT] [--url URL]"
                 " [--newest VERSION] [--serial YYYYMMDD]\n";
    return 2;
  }
  try {
    RequireOneLine("The announcement", options->announce);
    RequireOneLine("The link", options->url);
    RequireOneLine("The newest version", options->newest);
    fs::create_directories(options->folder);
    const Scratch scratch(options->folder / ("." + std::string(StationDatabaseFileName) + ".part"));
    const std::string catalogue = StampedCatalogue(*options, scratch.Path());
    const fs::path info = options->folder / UpdateInfoFileName;
    const std::string earlier = ReadWholeFile(info).value_or("");
    WriteArchive(catalogue, options->folder / CatalogueArchiveFileName);
    ReplaceFile(info, UpdateInfoText(*options, earlier));
    fs::permissions(info, kPublished);
    return 0;
  } catch (const std::exception& error) {
    std::cerr << error.what() << '\n';
    return 1;
  }
}
