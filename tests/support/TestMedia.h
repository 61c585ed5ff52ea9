#pragma once
// Media the tests play, made once per test process with ffmpeg into a
// temporary folder that is removed at exit.

#include <filesystem>
#include <string>
#include <vector>

namespace telvanta::test {

// Runs a program and waits; true when it exited with 0.
bool RunProgram(const std::vector<std::string>& argv);

struct TestMedia {
  std::filesystem::path folder;
  // Relative paths inside `folder`.
  static constexpr const char* kHls = "hls/index.m3u8";     // 320x240 H.264/AAC, 20 s
  static constexpr const char* kMp3 = "tone.mp3";           // 64 kbit/s, 30 s, no tags
  static constexpr const char* kWmv = "clip.wmv";           // 352x288 WMV2/WMA2 in ASF, 20 s
  static constexpr const char* kJpeg = "still.jpg";         // 320x240
  static constexpr const char* kNotMedia = "notmedia.mp3";  // text
  static constexpr const char* kShortMp3 = "short.mp3";     // 2 s
  static constexpr const char* kShortWmv = "short.wmv";     // 176x144 WMV2/WMA2, 2 s
  static constexpr int kHlsWidth = 320;
  static constexpr int kHlsHeight = 240;
  static constexpr int kWmvWidth = 352;
  static constexpr int kWmvHeight = 288;
};

// Makes the media on first use; throws std::runtime_error when ffmpeg fails.
const TestMedia& Media();

// A fresh temporary folder, removed when the process ends.
std::filesystem::path MakeTempFolder(const std::string& prefix);

void WriteTextFile(const std::filesystem::path& file, const std::string& text);

}  // namespace telvanta::test
