#include "platform/net/Download.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>

#include "common/Files.h"
#include "common/UniqueFd.h"

namespace telvanta::platform {

namespace {

struct CurlDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using CurlHandle = std::unique_ptr<CURL, CurlDeleter>;

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

struct Transfer {
  int fd = -1;
  std::int64_t written = 0;
  std::int64_t maxBytes = 0;
  const std::atomic<bool>* cancel = nullptr;
  bool failed = false;
};

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
  auto& transfer = *static_cast<Transfer*>(user);
  const size_t total = size * count;
  if (transfer.written + static_cast<std::int64_t>(total) > transfer.maxBytes) {
    transfer.failed = true;
    return 0;
  }
  if (!WriteAll(transfer.fd, std::string_view(data, total))) {
    transfer.failed = true;
    return 0;
  }
  transfer.written += static_cast<std::int64_t>(total);
  return total;
}

// Also called while nothing arrives, so a cancel is seen on a silent server.
int Progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  const auto& transfer = *static_cast<Transfer*>(user);
  return (transfer.cancel != nullptr && transfer.cancel->load()) ? 1 : 0;
}

bool GlobalInit() {
  static std::once_flag once;
  static bool ready = false;
  std::call_once(once, [] { ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
  return ready;
}

bool Fetch(std::string_view url, const std::filesystem::path& file, const std::atomic<bool>* cancel,
           const DownloadLimits& limits) {
  if (!GlobalInit() || (cancel != nullptr && cancel->load())) {
    return false;
  }
  CurlHandle curl(curl_easy_init());
  if (!curl) {
    return false;
  }
  TemporaryFile temporary(file);
  if (!temporary.IsOpen()) {
    return false;
  }
  Transfer transfer;
  transfer.fd = temporary.Fd();
  transfer.maxBytes = limits.maxBytes;
  transfer.cancel = cancel;

  const std::string address(url);
  CURL* handle = curl.get();
  bool set = true;
  set &= curl_easy_setopt(handle, CURLOPT_URL, address.c_str()) == CURLE_OK;
  set &= curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK;
  set &= curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK;
  set &= curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK;
  set &= curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 5L) == CURLE_OK;
  set &= curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L) == CURLE_OK;
  set &= curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L) == CURLE_OK;
  set &= curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L) == CURLE_OK;
  set &= curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS,
                          static_cast<long>(limits.connectTimeout.count())) == CURLE_OK;
  set &= curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, limits.lowSpeedBytes) == CURLE_OK;
  set &= curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME,
                          static_cast<long>(limits.lowSpeedTime.count())) == CURLE_OK;
  set &= curl_easy_setopt(handle, CURLOPT_MAXFILESIZE_LARGE,
                          static_cast<curl_off_t>(limits.maxBytes)) == CURLE_OK;
  set &= curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, WriteBody) == CURLE_OK;
  set &= curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer) == CURLE_OK;
  set &= curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, Progress) == CURLE_OK;
  set &= curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &transfer) == CURLE_OK;
  set &= curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L) == CURLE_OK;
  if (!set || curl_easy_perform(handle) != CURLE_OK || transfer.failed) {
    return false;
  }
  long status = 0;
  curl_off_t announced = -1;
  curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
  curl_easy_getinfo(handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
  if (status < 200 || status > 299) {
    return false;
  }
  // curl already fails a short body; this also catches a long one.
  if (announced >= 0 && announced != transfer.written) {
    return false;
  }
  return temporary.RenameTo(file);
}

}  // namespace

bool DownloadFile(std::string_view url, const std::filesystem::path& file,
                  const std::atomic<bool>* cancel, const DownloadLimits& limits) {
  try {
    return Fetch(url, file, cancel, limits);
  } catch (...) {
    return false;
  }
}

}  // namespace telvanta::platform
