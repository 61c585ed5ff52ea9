// Any text that parses as a hive must write back to a text that parses to the
// same model, and writing that model again must give the same text. What a
// lenient parse keeps of any text must write back without damage.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/hive/RegistryHive.h"

using telvanta::platform::Hive;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (telvanta::platform::TextFromUtf16(telvanta::platform::Utf16FromText(text)) != text) {
    std::abort();
  }
  const auto kept = telvanta::platform::ParseHiveLeniently(text);
  const auto rewritten =
      telvanta::platform::ParseHiveLeniently(telvanta::platform::SerializeHive(kept.hive));
  if (rewritten.damage || !(rewritten.hive == kept.hive)) {
    std::abort();
  }
  const auto first = telvanta::platform::ParseHive(text);
  const Hive* hive = std::get_if<Hive>(&first);
  if (!hive) return 0;
  const std::string written = telvanta::platform::SerializeHive(*hive);
  const auto second = telvanta::platform::ParseHive(written);
  const Hive* again = std::get_if<Hive>(&second);
  if (!again || !(*again == *hive) || telvanta::platform::SerializeHive(*again) != written) {
    std::abort();
  }
  return 0;
}
