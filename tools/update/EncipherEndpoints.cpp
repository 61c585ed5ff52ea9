// Writes the header that carries the update endpoints, enciphered, so the
// program never holds them in plain form.
//   telvanta_encipher_endpoints <header> <update information URL> <catalogue archive URL>

#include <exception>
#include <iostream>
#include <optional>
#include <string>

#include "common/DesCipher.h"
#include "common/Files.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: " << argv[0] << " <header> <info URL> <list URL>\n";
    return 2;
  }
  try {
    using namespace telvanta;
    const std::string header =
        "#pragma once\n"
        "// Made at build time by telvanta_encipher_endpoints: the update endpoints as\n"
        "// DES hex under UpdateKey.\n\n"
        "#include <string_view>\n\n"
        "namespace telvanta {\n\n"
        "inline constexpr std::string_view EncipheredUpdateInfoEndpoint =\n    \"" +
        DesEncryptHex(argv[2], UpdateKey) +
        "\";\n"
        "inline constexpr std::string_view EncipheredCatalogueArchiveEndpoint =\n    \"" +
        DesEncryptHex(argv[3], UpdateKey) +
        "\";\n\n"
        "}  // namespace telvanta\n";
    // Unchanged text keeps its time stamp, so nothing rebuilds for nothing.
    if (ReadWholeFile(argv[1]) != std::optional<std::string>(header)) {
      ReplaceFile(argv[1], header);
    }
    return 0;
  } catch (const std::exception& error) {
    std::cerr << error.what() << '\n';
    return 1;
  }
}
