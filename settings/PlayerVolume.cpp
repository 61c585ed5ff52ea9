#include "settings/PlayerVolume.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "settings/Settings.h"

namespace telvanta {

int VolumeOfText(std::string_view text) {
  long long volume = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, volume);
  if (text.empty() || error == std::errc::invalid_argument || stop != end) {
    return MaxVolume;
  }
  if (error == std::errc::result_out_of_range) {
    return text.front() == '-' ? 0 : MaxVolume;
  }
  return static_cast<int>(std::clamp<long long>(volume, 0, MaxVolume));
}

int ReadVolume() { return VolumeOfText(ReadSetting(VolumeSetting)); }

void WriteVolume(int volume) {
  WriteSetting(VolumeSetting, std::to_string(std::clamp(volume, 0, MaxVolume)));
}

}  // namespace telvanta
