#include "tests/support/StreamRoutes.h"

#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

namespace telvanta::test {
namespace {

constexpr std::size_t kMetaInterval = 8000;

std::string MetadataBlock(const std::string& title) {
  std::string text = "StreamTitle='" + title + "';";
  const std::size_t blocks = (text.size() + 15) / 16;
  text.resize(blocks * 16, '\0');
  return std::string(1, static_cast<char>(blocks)) + text;
}

}  // namespace

LoopbackHttpServer::Route IcyMp3Route(const std::filesystem::path& mp3File, int bytesPerSecond,
                                      std::string stationName,
                                      std::shared_ptr<const StreamTitle> streamTitle) {
  std::ifstream in(mp3File, std::ios::binary);
  auto audio = std::make_shared<const std::string>(std::istreambuf_iterator<char>(in),
                                                   std::istreambuf_iterator<char>());
  return [audio, bytesPerSecond, stationName, streamTitle](const HttpRequest& request,
                                                           HttpConnection& connection) {
    const bool metadata = request.Header("icy-metadata") == "1";
    std::string head =
        "HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\nicy-name: " + stationName + "\r\n";
    if (metadata) {
      head += "icy-metaint: " + std::to_string(kMetaInterval) + "\r\n";
    }
    head += "\r\n";
    if (!connection.Send(head)) {
      return;
    }
    // A burst first, as radio servers send, then about real time.
    const std::size_t chunk = static_cast<std::size_t>(bytesPerSecond) / 10;
    std::size_t position = 0;
    std::size_t sinceMeta = 0;
    std::size_t sent = 0;
    const auto start = std::chrono::steady_clock::now();
    const std::size_t burst = static_cast<std::size_t>(bytesPerSecond) * 2;
    while (!connection.Stopping()) {
      std::string piece;
      while (piece.size() < chunk) {
        std::size_t take = std::min(chunk - piece.size(), audio->size() - position);
        if (metadata) {
          take = std::min(take, kMetaInterval - sinceMeta);
        }
        piece.append(*audio, position, take);
        position = (position + take) % audio->size();
        sinceMeta += take;
        if (metadata && sinceMeta == kMetaInterval) {
          piece += MetadataBlock(streamTitle->Get());
          sinceMeta = 0;
        }
      }
      if (!connection.Send(piece)) {
        return;
      }
      sent += chunk;
      if (sent > burst) {
        const auto due = start + std::chrono::milliseconds((sent - burst) * 1000 / bytesPerSecond);
        std::this_thread::sleep_until(due);
      }
    }
  };
}

LoopbackHttpServer::Route IcyMp3Route(const std::filesystem::path& mp3File, int bytesPerSecond,
                                      std::string stationName, std::string streamTitle) {
  return IcyMp3Route(mp3File, bytesPerSecond, std::move(stationName),
                     std::make_shared<const StreamTitle>(std::move(streamTitle)));
}

LoopbackHttpServer::Route SilentRoute() {
  return [](const HttpRequest&, HttpConnection& connection) {
    while (!connection.Stopping()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  };
}

}  // namespace telvanta::test
