// Writes a small station database for the end-to-end run:
//   telvanta_make_test_catalogue <listv2.dll> <table>|<country>|<name>|<speed>|<url>|<type> ...
// where <table> is tv, radio or webcam.

#include "tools/catalogue/CatalogueWriter.h"

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
  if (argc < 2) {
    std::cerr << "usage: " << argv[0]
              << " <listv2.dll> <table>|<country>|<name>|<speed>|<url>|<type>...\n";
    return 2;
  }
  telvanta::Catalogue catalogue;
  for (int i = 2; i < argc; ++i) {
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
    telvanta::WriteCatalogue(catalogue, argv[1]);
  } catch (const std::exception& error) {
    std::cerr << error.what() << "\n";
    return 1;
  }
  return 0;
}
