// Any bytes as tvinfo.ini: the reader must neither crash nor hand back more
// than the profile reader's 2047 characters.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "update/ProfileIni.h"
#include "update/UpdateInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto announcement = telvanta::ReadAnnouncement(text, "7.2.0.0");
  const auto newest = telvanta::NewestVersion(text);
  // The first line names a section and key of the fuzzer's own choosing.
  const std::string_view first = text.substr(0, text.find('\n'));
  const auto value = telvanta::GetPrivateProfileString(text, first.substr(0, first.size() / 2),
                                                       first.substr(first.size() / 2), "");
  if (announcement.text.size() > telvanta::ProfileValueLimit ||
      announcement.url.size() > telvanta::ProfileValueLimit ||
      newest.size() > telvanta::ProfileValueLimit || value.size() > telvanta::ProfileValueLimit) {
    std::abort();
  }
  return 0;
}
