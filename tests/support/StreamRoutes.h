#pragma once
// Routes for LoopbackHttpServer that behave like radio servers.

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>

#include "tests/support/LoopbackHttpServer.h"

namespace telvanta::test {

// The title an ICY stream sends; a test may change it while it streams.
class StreamTitle {
 public:
  explicit StreamTitle(std::string title) : title_(std::move(title)) {}
  void Set(std::string title) {
    std::lock_guard lock(mutex_);
    title_ = std::move(title);
  }
  std::string Get() const {
    std::lock_guard lock(mutex_);
    return title_;
  }

 private:
  mutable std::mutex mutex_;
  std::string title_;
};

// An endless MP3 stream looping a file at about its bit rate. When the
// client asks for metadata (Icy-MetaData: 1) it carries ICY metadata with
// the title as it is then every 8000 bytes, and the station name in icy-name.
LoopbackHttpServer::Route IcyMp3Route(const std::filesystem::path& mp3File, int bytesPerSecond,
                                      std::string stationName,
                                      std::shared_ptr<const StreamTitle> streamTitle);
LoopbackHttpServer::Route IcyMp3Route(const std::filesystem::path& mp3File, int bytesPerSecond,
                                      std::string stationName, std::string streamTitle);

// Accepts the request and then says nothing until the server stops.
LoopbackHttpServer::Route SilentRoute();

}  // namespace telvanta::test
