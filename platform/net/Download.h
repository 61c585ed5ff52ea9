#pragma once
// Fetching a URL into a file. Safe to call from any thread; each call makes
// its own request (platform/net/Request.h), so only http and https are
// fetched and TLS peers are verified. Nothing is ever thrown.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace telvanta::platform {

// The limits that end a try instead of hanging the worker on a dead server.
struct DownloadLimits {
  std::chrono::milliseconds connectTimeout{std::chrono::seconds(20)};
  // A transfer slower than lowSpeedBytes per second for lowSpeedTime fails.
  long lowSpeedBytes = 64;
  std::chrono::seconds lowSpeedTime{60};
  // Neither file we fetch comes near this; an endless answer stops here.
  std::int64_t maxBytes = std::int64_t{256} * 1024 * 1024;
};

// Fetches url into file. True only when the server answered 2xx, the whole
// body arrived (as long as its Content-Length, when it sent one) within
// `deadline` and it was renamed into place from a temporary file beside
// `file`. On false `file` is as it was and no temporary is left. Setting
// *cancel (from any thread) ends the transfer within about a second, with
// false. The deadline keeps a server that trickles just above the low-speed
// limit from holding the caller for hours.
bool DownloadFile(std::string_view url, const std::filesystem::path& file,
                  const std::atomic<bool>* cancel = nullptr, const DownloadLimits& limits = {},
                  std::chrono::milliseconds deadline = std::chrono::seconds(120));

}  // namespace telvanta::platform
