// HexToInt keeps the value modulo 2^64: only the last sixteen digits count.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "common/DesCipher.h"
#include "common/Error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view digits(reinterpret_cast<const char*>(data), size);
  std::uint64_t value = 0;
  try {
    value = telvanta::HexToInt(digits);
  } catch (const telvanta::Error&) {
    return 0;
  }
  if (digits.size() > 16 && telvanta::HexToInt(digits.substr(digits.size() - 16)) != value) {
    std::abort();
  }
  return 0;
}
