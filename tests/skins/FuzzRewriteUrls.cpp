// Style sheets of any bytes through the url() rewriting. Names that resolve
// to themselves must give a sheet that a second pass leaves as it is.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "skins/SkinFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view css(reinterpret_cast<const char*>(data), size);
  const auto itself = [](std::string_view name) -> std::optional<std::string> {
    if (name.find_first_of("\"'\\() \t\r\n\f") != std::string_view::npos) {
      return std::nullopt;
    }
    return std::string(name);
  };
  const auto once = telvanta::skins::RewriteUrls(css, itself);
  if (!once) {
    return 0;
  }
  const auto twice = telvanta::skins::RewriteUrls(*once, itself);
  if (!twice || *twice != *once) {
    std::abort();
  }
  return 0;
}
