#pragma once
// The players' volume, kept from one play and one run to the next as the
// value Volume: "0" to "100".

#include <string_view>

namespace telvanta {

inline constexpr std::string_view VolumeSetting = "Volume";
inline constexpr int MaxVolume = 100;

// The volume a stored text stands for: absent or not a whole number gives
// full volume; a number out of range is brought into it.
int VolumeOfText(std::string_view text);

int ReadVolume();
void WriteVolume(int volume);

}  // namespace telvanta
