// Writes a small station database for the end-to-end run:
//   telvanta_make_test_catalogue <listv2.dll> <table>|<country>|<name>|<speed>|<url>|<type> ...
// where <table> is tv, radio or webcam; with --installed <data folder> in
// place of <listv2.dll>, installs it there as a refresh newer than any
// shipped catalogue.

#include "tools/catalogue/CatalogueWriter.h"
#include "update/CatalogueRefresh.h"

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Fields(const std::string& text) {
  std::vector<std::string> fields;
  std::stringstream in(text);
  std::string field;
  while (std::getline(in, field, '|')) fields.push_back(field);
  if (!text.empty() && text.back() == '|') fields.emplace_back();
  return fields;
}

}  // namespace

int main(int argc, char** argv) {
  const bool installed = argc > 2 && std::string(argv[1]) == "--installed";
  if (argc < 2 || (installed && argc < 3)) {
    std::cerr << "usage: " << argv[0]
              << " <listv2.dll>|--installed <data folder> <table>|<country>|<name>|<speed>|<url>|"
                 "<type>...\n";
    return 2;
  }
  const std::filesystem::path data = installed ? argv[2] : "";
  const std::filesystem::path file =
      installed ? telvanta::StagingFolder(data) / "listv2.dll" : std::filesystem::path(argv[1]);
  telvanta::Catalogue catalogue;
  if (installed) {
    catalogue.serial = 99991231;
  }
  for (int i = installed ? 3 : 2; i < argc; ++i) {
    auto fields = Fields(argv[i]);
    fields.resize(6);
    telvanta::CatalogueRow row{fields[1], fields[2], fields[3], fields[4], fields[5]};
    if (fields[0] == "tv") {
      catalogue.tv.rows.push_back(row);
    } else if (fields[0] == "radio") {
      catalogue.radio.rows.push_back(row);
    } else if (fields[0] == "webcam") {
      catalogue.webcam.rows.push_back(row);
    } else {
      std::cerr << "unknown table: " << fields[0] << "\n";
      return 2;
    }
  }
  try {
    std::filesystem::create_directories(file.parent_path());
    telvanta::WriteCatalogue(catalogue, file);
  } catch (const std::exception& error) {
    std::cerr << error.what() << "\n";
    return 1;
  }
  // No program folder: the serial is later than any shipped catalogue's.
  if (installed && !(telvanta::AcceptStagedCatalogue(data, {}).has_value() &&
                     telvanta::InstallStagedCatalogue(data))) {
    std::cerr << "the catalogue was refused\n";
    return 1;
  }
  return 0;
}
