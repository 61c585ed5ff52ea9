#include "platform/net/Request.h"

#include <curl/curl.h>

#include <cerrno>
#include <map>
#include <mutex>

namespace telvanta::platform {
namespace {

struct EasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct MultiDeleter {
  void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};

bool GlobalInit() {
  static std::once_flag once;
  static bool ready = false;
  std::call_once(once, [] { ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
  return ready;
}

}  // namespace

struct Request::State {
  std::string url;
  RequestOptions options;
  BodySink sink;
  // Declared before the handle, which uses it until it is cleaned up.
  std::unique_ptr<curl_slist, ListDeleter> headers;
  std::unique_ptr<CURL, EasyDeleter> easy;
  CURLcode setup = CURLE_OK;  // why the handle cannot run, if it can't
  std::int64_t bytes = 0;
  bool tooLarge = false;
  bool stopped = false;
  RequestGroup* group = nullptr;

  CURLcode Configure();
  NetResult Conclude(CURLcode code) const;
  NetError ErrorFor(CURLcode code) const;
  std::string Info(CURLINFO what) const;

  static std::size_t Write(char* data, std::size_t size, std::size_t count, void* user);
  static int Progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t);
};

std::size_t Request::State::Write(char* data, std::size_t size, std::size_t count, void* user) {
  auto& state = *static_cast<State*>(user);
  const std::size_t total = size * count;
  const auto cap = state.options.maxBytes;
  if (cap > 0 && state.bytes + static_cast<std::int64_t>(total) > cap) {
    state.tooLarge = true;
    return 0;  // curl ends the transfer with CURLE_WRITE_ERROR
  }
  if (state.sink && !state.sink(std::string_view(data, total))) {
    state.stopped = true;
    return 0;
  }
  state.bytes += static_cast<std::int64_t>(total);
  return total;
}

// Also called while nothing arrives, so a cancel is seen on a silent server.
int Request::State::Progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  const auto& state = *static_cast<const State*>(user);
  return state.options.cancel->load() ? 1 : 0;
}

CURLcode Request::State::Configure() {
  CURL* handle = easy.get();
  CURLcode code = CURLE_OK;
  const auto set = [&](CURLoption option, auto value) {
    if (code == CURLE_OK) {
      code = curl_easy_setopt(handle, option, value);
    }
  };
  const bool rtsp = options.method == Method::RtspOptions;
  const char* protocols = rtsp ? "rtsp" : "http,https";
  set(CURLOPT_URL, url.c_str());
  set(CURLOPT_NOSIGNAL, 1L);
  set(CURLOPT_PROTOCOLS_STR, protocols);
  set(CURLOPT_REDIR_PROTOCOLS_STR, protocols);
  set(CURLOPT_SSL_VERIFYPEER, 1L);
  set(CURLOPT_SSL_VERIFYHOST, 2L);
  set(CURLOPT_USERAGENT, options.userAgent.c_str());
  set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.connectTimeout.count()));
  set(CURLOPT_WRITEFUNCTION, &State::Write);
  set(CURLOPT_WRITEDATA, this);
  if (rtsp) {
    set(CURLOPT_RTSP_STREAM_URI, url.c_str());
    set(CURLOPT_RTSP_REQUEST, static_cast<long>(CURL_RTSPREQ_OPTIONS));
  } else {
    set(CURLOPT_FOLLOWLOCATION, 1L);
    set(CURLOPT_MAXREDIRS, 5L);
  }
  if (options.deadline.count() > 0) {
    set(CURLOPT_TIMEOUT_MS, static_cast<long>(options.deadline.count()));
  }
  if (options.lowSpeedBytes > 0) {
    set(CURLOPT_LOW_SPEED_LIMIT, options.lowSpeedBytes);
    set(CURLOPT_LOW_SPEED_TIME, static_cast<long>(options.lowSpeedTime.count()));
  }
  if (options.maxBytes > 0) {
    set(CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(options.maxBytes));
  }
  if (options.compressed) {
    set(CURLOPT_ACCEPT_ENCODING, "");
  }
  for (const std::string& line : options.headers) {
    curl_slist* longer = curl_slist_append(headers.get(), line.c_str());
    if (longer == nullptr) {
      return CURLE_OUT_OF_MEMORY;
    }
    (void)headers.release();
    headers.reset(longer);
  }
  if (headers) {
    set(CURLOPT_HTTPHEADER, headers.get());
  }
  if (options.cancel != nullptr) {
    set(CURLOPT_XFERINFOFUNCTION, &State::Progress);
    set(CURLOPT_XFERINFODATA, this);
    set(CURLOPT_NOPROGRESS, 0L);
  }
  return code;
}

std::string Request::State::Info(CURLINFO what) const {
  char* text = nullptr;
  if (!easy || curl_easy_getinfo(easy.get(), what, &text) != CURLE_OK || text == nullptr) {
    return {};
  }
  return text;
}

// The one place a libcurl code becomes a failure of ours.
NetError Request::State::ErrorFor(CURLcode code) const {
  long osErrno = 0;
  curl_easy_getinfo(easy.get(), CURLINFO_OS_ERRNO, &osErrno);
  switch (code) {
    case CURLE_OK:
      return NetError::None;
    case CURLE_ABORTED_BY_CALLBACK:
      return NetError::Cancelled;
    case CURLE_WRITE_ERROR:
      return tooLarge ? NetError::TooLarge : stopped ? NetError::Stopped : NetError::Other;
    case CURLE_FILESIZE_EXCEEDED:
      return NetError::TooLarge;
    case CURLE_COULDNT_RESOLVE_HOST:
      return NetError::HostNotFound;
    case CURLE_COULDNT_CONNECT:
      if (osErrno == ENETUNREACH) {
        return NetError::NetworkUnreachable;
      }
      if (osErrno == EHOSTUNREACH) {
        return NetError::HostUnreachable;
      }
      return osErrno == ETIMEDOUT ? NetError::NoConnection : NetError::ConnectionRefused;
    case CURLE_OPERATION_TIMEDOUT: {
      curl_off_t connectTime = 0;
      curl_easy_getinfo(easy.get(), CURLINFO_CONNECT_TIME_T, &connectTime);
      return connectTime == 0 ? NetError::NoConnection : NetError::NoAnswer;
    }
    case CURLE_GOT_NOTHING:
      return NetError::EmptyReply;
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE:
      return NetError::ConnectionLost;
    case CURLE_TOO_MANY_REDIRECTS:
      return NetError::TooManyRedirects;
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_RTSP_CSEQ_ERROR:
    case CURLE_UNSUPPORTED_PROTOCOL:
      return NetError::NotValidAnswer;
    case CURLE_PEER_FAILED_VERIFICATION:
      return NetError::UntrustedCertificate;
    case CURLE_SSL_CONNECT_ERROR:
      return NetError::TlsError;
    default:
      return NetError::Other;
  }
}

NetResult Request::State::Conclude(CURLcode code) const {
  NetResult result;
  long status = 0;
  curl_off_t announced = -1;
  curl_easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &status);
  curl_easy_getinfo(easy.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
  result.status = static_cast<int>(status);
  result.address = Info(CURLINFO_EFFECTIVE_URL);
  if (result.address.empty()) {
    result.address = url;
  }
  result.contentType = Info(CURLINFO_CONTENT_TYPE);
  result.bytes = bytes;
  result.error = ErrorFor(code);
  // curl fails a short body itself; this also catches a long one.
  if (result.error == NetError::None && !options.compressed && announced >= 0 &&
      announced != bytes) {
    result.error = NetError::ConnectionLost;
  }
  if (result.error == NetError::NoConnection) {
    result.waited = options.connectTimeout;
  } else if (result.error == NetError::NoAnswer) {
    result.waited = options.deadline;
  } else if (result.error == NetError::Other) {
    result.detail = curl_easy_strerror(code);
  }
  return result;
}

Request::Request(const std::string& url, const RequestOptions& options, BodySink sink)
    : state_(std::make_unique<State>()) {
  state_->url = url;
  state_->options = options;
  state_->sink = std::move(sink);
  if (!GlobalInit()) {
    state_->setup = CURLE_FAILED_INIT;
    return;
  }
  state_->easy.reset(curl_easy_init());
  state_->setup = state_->easy ? state_->Configure() : CURLE_OUT_OF_MEMORY;
}

Request::~Request() {
  if (state_->group != nullptr) {
    state_->group->Leave(*this);
  }
}

NetResult Request::Perform() {
  NetResult early;
  early.address = state_->url;
  const auto* cancel = state_->options.cancel;
  if (cancel != nullptr && cancel->load()) {
    early.error = NetError::Cancelled;
    return early;
  }
  if (state_->setup != CURLE_OK) {
    early.error = NetError::Other;
    early.detail = curl_easy_strerror(state_->setup);
    return early;
  }
  return state_->Conclude(curl_easy_perform(state_->easy.get()));
}

std::string Request::ContentType() const { return state_->Info(CURLINFO_CONTENT_TYPE); }

std::string Request::Address() const {
  std::string address = state_->Info(CURLINFO_EFFECTIVE_URL);
  return address.empty() ? state_->url : address;
}

struct RequestGroup::State {
  std::unique_ptr<CURLM, MultiDeleter> multi;
  std::map<CURL*, Request*> members;
};

RequestGroup::RequestGroup(std::size_t maxConnections) : state_(std::make_unique<State>()) {
  if (GlobalInit()) {
    state_->multi.reset(curl_multi_init());
  }
  if (state_->multi) {
    curl_multi_setopt(state_->multi.get(), CURLMOPT_MAX_TOTAL_CONNECTIONS,
                      static_cast<long>(maxConnections));
  }
}

RequestGroup::~RequestGroup() {
  while (!state_->members.empty()) {
    Leave(*state_->members.begin()->second);
  }
}

bool RequestGroup::Start(Request& request) {
  Request::State& member = *request.state_;
  if (!state_->multi || member.setup != CURLE_OK || member.group != nullptr) {
    return false;
  }
  CURL* easy = member.easy.get();
  // A connection ends with its request, so the group never holds more than
  // its limit open.
  if (curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, 1L) != CURLE_OK ||
      curl_multi_add_handle(state_->multi.get(), easy) != CURLM_OK) {
    return false;
  }
  member.group = this;
  state_->members.emplace(easy, &request);
  return true;
}

std::vector<RequestGroup::Ended> RequestGroup::Run(std::chrono::milliseconds wait) {
  std::vector<Ended> ended;
  if (!state_->multi) {
    return ended;
  }
  CURLM* multi = state_->multi.get();
  int running = 0;
  curl_multi_perform(multi, &running);
  int left = 0;
  while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
    if (message->msg != CURLMSG_DONE) {
      continue;
    }
    // The message does not outlive the handle's removal.
    CURL* easy = message->easy_handle;
    const CURLcode code = message->data.result;
    const auto found = state_->members.find(easy);
    if (found == state_->members.end()) {
      continue;
    }
    Request& request = *found->second;
    Leave(request);
    ended.push_back({&request, request.state_->Conclude(code)});
  }
  if (ended.empty() && running > 0) {
    curl_multi_poll(multi, nullptr, 0, static_cast<int>(wait.count()), nullptr);
  }
  return ended;
}

void RequestGroup::Leave(Request& request) {
  CURL* easy = request.state_->easy.get();
  curl_multi_remove_handle(state_->multi.get(), easy);
  state_->members.erase(easy);
  request.state_->group = nullptr;
}

}  // namespace telvanta::platform
