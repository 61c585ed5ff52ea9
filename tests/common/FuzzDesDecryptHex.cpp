// The first byte picks the key length (0 to 12), the key follows, the rest is
// the hex text. Decryption may only fail with the module's own error, and what
// it returns must survive a round trip.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/DesCipher.h"
#include "common/Error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t keyLength = std::min<std::size_t>(input[0] % 13, size - 1);
  const std::string_view key = input.substr(1, keyLength);
  const std::string_view hex = input.substr(1 + keyLength);
  std::string text;
  try {
    text = telvanta::DesDecryptHex(hex, key);
  } catch (const telvanta::Error&) {
    return 0;
  }
  if (text.size() > hex.size() / 16 * 8) std::abort();
  if (!text.empty() && text.back() == '\0') std::abort();
  if (telvanta::DesDecryptHex(telvanta::DesEncryptHex(text, key), key) != text) std::abort();
  return 0;
}
