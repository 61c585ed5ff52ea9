// Builds the station database from the station lists:
//   telvanta_build_catalogue <stations folder> <output file>
// Prints the rows per table and what was left out; exits non-zero without
// touching the output on malformed input.

#include <exception>
#include <iostream>

#include "tools/catalogue/CatalogueRules.h"
#include "tools/catalogue/CatalogueWriter.h"
#include "tools/catalogue/StationSources.h"

namespace {

void Report(std::ostream& out, std::string_view table, const telvanta::CatalogueTable& rows) {
  out << table << ": " << rows.rows.size() << " rows";
  for (const auto& [reason, count] : rows.leftOut) {
    out << "; left out " << count << " (" << telvanta::LeaveOutText(reason) << ")";
  }
  if (rows.toldApart > 0) {
    out << "; told apart " << rows.toldApart << " (same text, other URLs)";
  }
  out << '\n';
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: " << argv[0] << " <stations folder> <output file>\n";
    return 2;
  }
  try {
    const telvanta::Catalogue catalogue =
        telvanta::AssembleCatalogue(telvanta::ReadStationSources(argv[1]));
    telvanta::WriteCatalogue(catalogue, argv[2]);
    Report(std::cout, "tv", catalogue.tv);
    Report(std::cout, "radio", catalogue.radio);
    Report(std::cout, "webcam", catalogue.webcam);
    return 0;
  } catch (const std::exception& e) {
    std::cerr << argv[0] << ": " << e.what() << '\n';
    return 1;
  }
}
