#include "tests/support/TestMedia.h"

#include <glib.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <stdexcept>

namespace telvanta::test {
namespace {

struct FolderList {
  std::vector<std::filesystem::path> folders;
  ~FolderList() {
    for (const auto& folder : folders) {
      std::error_code ignored;
      std::filesystem::remove_all(folder, ignored);
    }
  }
};

FolderList& Folders() {
  static FolderList list;
  return list;
}

void Ffmpeg(std::vector<std::string> arguments) {
  std::vector<std::string> argv = {"ffmpeg", "-nostdin", "-y", "-loglevel", "error"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  if (!RunProgram(argv)) {
    throw std::runtime_error("ffmpeg failed making test media: " + arguments.back());
  }
}

}  // namespace

bool RunProgram(const std::vector<std::string>& argv) {
  std::vector<char*> raw;
  for (const auto& argument : argv) {
    raw.push_back(const_cast<char*>(argument.c_str()));
  }
  raw.push_back(nullptr);
  int status = 0;
  const gboolean spawned =
      g_spawn_sync(nullptr, raw.data(), nullptr,
                   static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_STDOUT_TO_DEV_NULL),
                   nullptr, nullptr, nullptr, nullptr, &status, nullptr);
  return spawned && g_spawn_check_wait_status(status, nullptr);
}

std::filesystem::path MakeTempFolder(const std::string& prefix) {
  std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot make a temporary folder");
  }
  Folders().folders.emplace_back(pattern);
  return pattern;
}

void WriteTextFile(const std::filesystem::path& file, const std::string& text) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary);
  out << text;
  if (!out) {
    throw std::runtime_error("cannot write " + file.string());
  }
}

const TestMedia& Media() {
  static TestMedia media;
  static std::once_flag once;
  std::call_once(once, [] {
    media.folder = MakeTempFolder("telvanta-media");
    std::filesystem::create_directories(media.folder / "hls");
    const auto at = [](const char* name) { return (media.folder / name).string(); };
    Ffmpeg({"-f",
            "lavfi",
            "-i",
            "testsrc=size=320x240:rate=25",
            "-f",
            "lavfi",
            "-i",
            "sine=frequency=440:sample_rate=44100",
            "-t",
            "20",
            "-c:v",
            "libx264",
            "-preset",
            "ultrafast",
            "-g",
            "25",
            "-pix_fmt",
            "yuv420p",
            "-c:a",
            "aac",
            "-b:a",
            "64k",
            "-f",
            "hls",
            "-hls_time",
            "2",
            "-hls_list_size",
            "0",
            "-hls_playlist_type",
            "vod",
            "-hls_segment_filename",
            at("hls/seg%02d.ts"),
            at(TestMedia::kHls)});
    Ffmpeg({"-f", "lavfi", "-i", "sine=frequency=660:sample_rate=44100", "-t", "30", "-c:a",
            "libmp3lame", "-b:a", "64k", "-write_xing", "0", "-id3v2_version", "0",
            at(TestMedia::kMp3)});
    Ffmpeg({"-f",
            "lavfi",
            "-i",
            "testsrc=size=352x288:rate=25",
            "-f",
            "lavfi",
            "-i",
            "sine=frequency=330",
            "-t",
            "20",
            "-c:v",
            "wmv2",
            "-b:v",
            "400k",
            "-c:a",
            "wmav2",
            "-b:a",
            "64k",
            "-f",
            "asf",
            at(TestMedia::kWmv)});
    Ffmpeg({"-f", "lavfi", "-i", "sine=frequency=550:sample_rate=44100", "-t", "2", "-c:a",
            "libmp3lame", "-b:a", "64k", at(TestMedia::kShortMp3)});
    Ffmpeg({"-f", "lavfi", "-i", "testsrc=size=176x144:rate=25", "-f", "lavfi", "-i",
            "sine=frequency=330", "-t", "2", "-c:v", "wmv2", "-c:a", "wmav2", "-f", "asf",
            at(TestMedia::kShortWmv)});
    Ffmpeg({"-f", "lavfi", "-i", "testsrc=size=320x240", "-frames:v", "1", at(TestMedia::kJpeg)});
    WriteTextFile(media.folder / TestMedia::kNotMedia, "this is not a media file\n");
  });
  return media;
}

}  // namespace telvanta::test
