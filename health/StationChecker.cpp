#include "health/StationChecker.h"

#include <curl/curl.h>

#include <cerrno>
#include <deque>
#include <map>
#include <memory>
#include <mutex>

#include "common/AsciiText.h"
#include "health/StreamProbe.h"
#include "platform/player/StreamAddress.h"

namespace telvanta::health {
namespace {

enum class Transport { Http, Mmsh, Rtsp };

// One request: a station's address, or an entry of its playlist.
struct Probe {
  std::size_t index = 0;
  std::string address;
  int depth = 0;  // playlists followed to get here
};

struct EasyDeleter {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct MultiDeleter {
  void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};

struct Transfer {
  Probe probe;
  Transport transport = Transport::Http;
  std::unique_ptr<CURL, EasyDeleter> easy;
  std::unique_ptr<curl_slist, ListDeleter> headers;
  std::string body;
  std::size_t maxBytes = 0;
  bool enough = false;  // we stopped it: the bytes so far tell all
};

std::string Seconds(std::chrono::milliseconds time) {
  return std::to_string((time.count() + 999) / 1000) + " s";
}

std::string SchemeOf(const std::string& address) {
  const auto colon = address.find("://");
  return colon == std::string::npos ? std::string() : AsciiLower(address.substr(0, colon));
}

// mms://host[:port]/path is asked as http://host[:port]/path.
std::string MmshAddress(const std::string& address) {
  return "http" + address.substr(address.find("://"));
}

std::size_t OnData(char* data, std::size_t size, std::size_t count, void* user) {
  auto& transfer = *static_cast<Transfer*>(user);
  const std::size_t bytes = size * count;
  const std::size_t room = transfer.maxBytes - transfer.body.size();
  transfer.body.append(data, std::min(bytes, room));
  char* type = nullptr;
  char* address = nullptr;
  curl_easy_getinfo(transfer.easy.get(), CURLINFO_CONTENT_TYPE, &type);
  curl_easy_getinfo(transfer.easy.get(), CURLINFO_EFFECTIVE_URL, &address);
  const bool list = MayBePlaylist(address != nullptr ? address : "", type != nullptr ? type : "");
  // A stream's first bytes are enough; a list is read whole, unless it
  // turns out to be media after all.
  const bool enough = transfer.body.size() >= transfer.maxBytes ||
                      (!list && transfer.body.size() >= 16) ||
                      (transfer.body.size() >= 512 && LooksBinary(transfer.body));
  if (enough) {
    transfer.enough = true;
    return 0;  // ends the transfer with CURLE_WRITE_ERROR
  }
  return bytes;
}

std::string CurlReason(CURLcode code, CURL* easy, const CheckLimits& limits) {
  long osErrno = 0;
  curl_off_t connectTime = 0;
  curl_easy_getinfo(easy, CURLINFO_OS_ERRNO, &osErrno);
  curl_easy_getinfo(easy, CURLINFO_CONNECT_TIME_T, &connectTime);
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
      return "Host not found";
    case CURLE_COULDNT_CONNECT:
      if (osErrno == ENETUNREACH) {
        return "Network unreachable";
      }
      if (osErrno == EHOSTUNREACH) {
        return "Host unreachable";
      }
      if (osErrno == ETIMEDOUT) {
        return "No connection within " + Seconds(limits.connectTimeout);
      }
      return "Connection refused";
    case CURLE_OPERATION_TIMEDOUT:
      if (connectTime == 0) {
        return "No connection within " + Seconds(limits.connectTimeout);
      }
      return "No answer within " + Seconds(limits.answerTimeout);
    case CURLE_GOT_NOTHING:
      return "Empty reply";
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE:
      return "Connection lost";
    case CURLE_TOO_MANY_REDIRECTS:
      return "Too many redirects";
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_RTSP_CSEQ_ERROR:
    case CURLE_UNSUPPORTED_PROTOCOL:
      return "Not a valid answer";
    case CURLE_PEER_FAILED_VERIFICATION:
      return "Untrusted certificate";
    case CURLE_SSL_CONNECT_ERROR:
      return "TLS error";
    default:
      return curl_easy_strerror(code);
  }
}

class Run {
 public:
  Run(const std::vector<std::string>& urls, const CheckLimits& limits,
      const CheckCallbacks& callbacks, const std::atomic<bool>& cancel)
      : urls_(urls), limits_(limits), callbacks_(callbacks), cancel_(cancel) {}

  void Go() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    multi_.reset(curl_multi_init());
    if (!multi_) {
      return;
    }
    // Our own count keeps this; the limit is a second guard.
    curl_multi_setopt(multi_.get(), CURLMOPT_MAX_TOTAL_CONNECTIONS,
                      static_cast<long>(limits_.maxConnections));
    for (std::size_t i = 0; i < urls_.size(); ++i) {
      waiting_.push_back({i, urls_[i], 0});
    }
    while ((!waiting_.empty() || !active_.empty()) && !cancel_.load()) {
      StartWaiting();
      int running = 0;
      curl_multi_perform(multi_.get(), &running);
      CollectFinished();
      if (!active_.empty()) {
        curl_multi_poll(multi_.get(), nullptr, 0, 100, nullptr);
      }
    }
    for (auto& [easy, transfer] : active_) {
      curl_multi_remove_handle(multi_.get(), easy);
    }
    active_.clear();
  }

 private:
  void StartWaiting() {
    while (active_.size() < limits_.maxConnections && !waiting_.empty() && !cancel_.load()) {
      Probe probe = std::move(waiting_.front());
      waiting_.pop_front();
      Start(std::move(probe));
    }
  }

  void Start(Probe probe) {
    probe.address = platform::NormalizeScheme(TrimAsciiSpace(probe.address));
    const std::string scheme = SchemeOf(probe.address);
    auto transfer = std::make_unique<Transfer>();
    transfer->maxBytes = limits_.maxBytes;
    std::string request = probe.address;
    if (scheme == "http" || scheme == "https") {
      transfer->transport = Transport::Http;
    } else if (scheme == "mms" || scheme == "mmsh") {
      transfer->transport = Transport::Mmsh;
      request = MmshAddress(probe.address);
    } else if (scheme == "rtsp") {
      transfer->transport = Transport::Rtsp;
    } else {
      const std::string what = scheme.empty() ? "A local file" : scheme + "://";
      Report(probe, {CheckVerdict::Unchecked, what + " is not checked"});
      return;
    }
    transfer->easy.reset(curl_easy_init());
    if (!transfer->easy) {
      Report(probe, Failed("Out of memory"));
      return;
    }
    transfer->probe = std::move(probe);
    Configure(*transfer, request);
    CURL* easy = transfer->easy.get();
    if (curl_multi_add_handle(multi_.get(), easy) != CURLM_OK) {
      Report(transfer->probe, Failed("Cannot start the request"));
      return;
    }
    active_.emplace(easy, std::move(transfer));
  }

  void Configure(Transfer& transfer, const std::string& request) {
    CURL* easy = transfer.easy.get();
    curl_easy_setopt(easy, CURLOPT_URL, request.c_str());
    curl_easy_setopt(easy, CURLOPT_PRIVATE, &transfer);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(limits_.connectTimeout.count()));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(limits_.answerTimeout.count()));
    // A connection ends with its check, so none stays open beyond the limit.
    curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, OnData);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
    if (transfer.transport == Transport::Rtsp) {
      curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "rtsp");
      curl_easy_setopt(easy, CURLOPT_RTSP_STREAM_URI, request.c_str());
      curl_easy_setopt(easy, CURLOPT_RTSP_REQUEST, static_cast<long>(CURL_RTSPREQ_OPTIONS));
      curl_easy_setopt(easy, CURLOPT_USERAGENT, "Telvanta/7.2");
      return;
    }
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 5L);
    if (transfer.transport == Transport::Mmsh) {
      // Windows Media servers answer only a player's request.
      curl_slist* headers = curl_slist_append(nullptr, "Accept: */*");
      headers = curl_slist_append(
          headers,
          "Pragma: no-cache,rate=1.000000,stream-time=0,stream-offset=0:0,request-context=1,"
          "max-duration=0");
      headers =
          curl_slist_append(headers, "Pragma: xClientGUID={c77e7400-738a-11d2-9add-0020af0a3278}");
      transfer.headers.reset(headers);
      curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
      curl_easy_setopt(easy, CURLOPT_USERAGENT, "NSPlayer/7.10.0.3059");
    } else {
      curl_easy_setopt(easy, CURLOPT_USERAGENT, "Telvanta/7.2");
    }
  }

  void CollectFinished() {
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_.get(), &left)) {
      if (message->msg != CURLMSG_DONE) {
        continue;
      }
      CURL* easy = message->easy_handle;
      const CURLcode code = message->data.result;
      curl_multi_remove_handle(multi_.get(), easy);
      const auto found = active_.find(easy);
      if (found == active_.end()) {
        continue;
      }
      std::unique_ptr<Transfer> transfer = std::move(found->second);
      active_.erase(found);
      Conclude(*transfer, code);
    }
  }

  void Conclude(Transfer& transfer, CURLcode code) {
    CURL* easy = transfer.easy.get();
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    const bool rtsp = transfer.transport == Transport::Rtsp;
    // A stream that sent bytes and then went quiet still answered.
    const bool gotBytes = !transfer.body.empty() && status >= 200 && status < 300;
    if (code != CURLE_OK && !transfer.enough && !(code == CURLE_OPERATION_TIMEDOUT && gotBytes)) {
      Report(transfer.probe, Failed(CurlReason(code, easy, limits_)));
      return;
    }
    if (status < 200 || status >= 300) {
      Report(transfer.probe, Failed(StatusReason(static_cast<int>(status), rtsp)));
      return;
    }
    if (rtsp) {
      Report(transfer.probe, Alive());
      return;
    }
    if (transfer.body.empty()) {
      Report(transfer.probe, Failed("Empty answer"));
      return;
    }
    char* type = nullptr;
    char* address = nullptr;
    curl_easy_getinfo(easy, CURLINFO_CONTENT_TYPE, &type);
    curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &address);
    const std::string where = address != nullptr ? address : transfer.probe.address;
    const BodyKind kind = ClassifyBody(where, type != nullptr ? type : "", transfer.body);
    if (kind == BodyKind::Stream) {
      Report(transfer.probe, Alive());
    } else if (kind == BodyKind::WebPage) {
      Report(transfer.probe, Failed("A web page, not a stream"));
    } else {
      FollowList(transfer.probe, kind, transfer.body, where);
    }
  }

  void FollowList(const Probe& probe, BodyKind kind, const std::string& body,
                  const std::string& where) {
    const std::optional<std::string> entry = FirstEntry(kind, body, where);
    if (!entry) {
      Report(probe, Failed("Empty playlist"));
    } else if (probe.depth >= limits_.maxPlaylistDepth) {
      Report(probe, Failed("Playlists nested too deep"));
    } else {
      // The entry goes first, so a station's check ends before others start.
      waiting_.push_front({probe.index, *entry, probe.depth + 1});
    }
  }

  void Report(const Probe& probe, CheckOutcome outcome) {
    if (probe.depth > 0 && outcome.verdict == CheckVerdict::Failed) {
      outcome.reason = "Playlist entry failed: " + outcome.reason;
    }
    ++done_;
    if (callbacks_.result) {
      callbacks_.result(probe.index, outcome);
    }
    if (callbacks_.progress) {
      callbacks_.progress(done_, urls_.size());
    }
  }

  const std::vector<std::string>& urls_;
  const CheckLimits& limits_;
  const CheckCallbacks& callbacks_;
  const std::atomic<bool>& cancel_;
  std::unique_ptr<CURLM, MultiDeleter> multi_;
  std::deque<Probe> waiting_;
  std::map<CURL*, std::unique_ptr<Transfer>> active_;
  std::size_t done_ = 0;
};

}  // namespace

void CheckStations(const std::vector<std::string>& urls, const CheckLimits& limits,
                   const CheckCallbacks& callbacks, const std::atomic<bool>& cancel) {
  Run(urls, limits, callbacks, cancel).Go();
}

StationChecker::StationChecker(CheckLimits limits) : limits_(limits) {}

StationChecker::~StationChecker() {
  Cancel();
  Join();
}

void StationChecker::Start(std::vector<std::string> urls, CheckCallbacks callbacks,
                           std::function<void(bool cancelled)> finished) {
  Cancel();
  Join();
  cancel_ = false;
  thread_ = std::thread([this, urls = std::move(urls), callbacks = std::move(callbacks),
                         finished = std::move(finished)] {
    CheckStations(urls, limits_, callbacks, cancel_);
    if (finished) {
      finished(cancel_.load());
    }
  });
}

void StationChecker::Cancel() { cancel_ = true; }

void StationChecker::Join() {
  if (thread_.joinable()) {
    thread_.join();
  }
}

}  // namespace telvanta::health
