#include "platform/net/Download.h"

#include <fcntl.h>
#include <unistd.h>

#include <string>

#include "common/Files.h"
#include "common/UniqueFd.h"
#include "platform/net/Request.h"

namespace telvanta::platform {

namespace {

// Removes the temporary file unless it was renamed into place.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::filesystem::path& target) {
    std::string pattern = target.string() + ".part-XXXXXX";
    fd_.Reset(::mkostemp(pattern.data(), O_CLOEXEC));
    if (fd_) {
      path_ = pattern;
    }
  }
  ~TemporaryFile() {
    fd_.Reset();
    if (!path_.empty()) {
      ::unlink(path_.c_str());
    }
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool IsOpen() const { return fd_.Valid(); }
  int Fd() const { return fd_.Get(); }
  bool RenameTo(const std::filesystem::path& target) {
    if (::fsync(fd_.Get()) != 0 || !fd_.Reset() || ::rename(path_.c_str(), target.c_str()) != 0) {
      return false;
    }
    path_.clear();
    return true;
  }

 private:
  UniqueFd fd_;
  std::filesystem::path path_;
};

bool Fetch(std::string_view url, const std::filesystem::path& file, const std::atomic<bool>* cancel,
           const DownloadLimits& limits, std::chrono::milliseconds deadline) {
  if (cancel != nullptr && cancel->load()) {
    return false;
  }
  TemporaryFile temporary(file);
  if (!temporary.IsOpen()) {
    return false;
  }
  RequestOptions options;
  options.connectTimeout = limits.connectTimeout;
  options.deadline = deadline;
  options.lowSpeedBytes = limits.lowSpeedBytes;
  options.lowSpeedTime = limits.lowSpeedTime;
  options.maxBytes = limits.maxBytes;
  options.cancel = cancel;
  const int fd = temporary.Fd();
  Request request(std::string(url), options,
                  [fd](std::string_view bytes) { return WriteAll(fd, bytes); });
  const NetResult result = request.Perform();
  return result.error == NetError::None && result.status >= 200 && result.status <= 299 &&
         temporary.RenameTo(file);
}

}  // namespace

bool DownloadFile(std::string_view url, const std::filesystem::path& file,
                  const std::atomic<bool>* cancel, const DownloadLimits& limits,
                  std::chrono::milliseconds deadline) {
  try {
    return Fetch(url, file, cancel, limits, deadline);
  } catch (...) {
    return false;
  }
}

}  // namespace telvanta::platform
