#include "health/StationChecker.h"

#include <deque>
#include <map>
#include <memory>
#include <string_view>

#include "common/AsciiText.h"
#include "common/I18n.h"
#include "health/StreamProbe.h"
#include "platform/net/Request.h"
#include "platform/player/StreamAddress.h"

namespace telvanta::health {
namespace {

using platform::NetError;
using platform::NetResult;

enum class Transport { Http, Mmsh, Rtsp };

// One request: a station's address, or an entry of its playlist.
struct Probe {
  std::size_t index = 0;
  std::string address;
  int depth = 0;  // playlists followed to get here
};

// A stream counts as alive only once this much has come within the answer
// time (8 s unless set otherwise). The thinnest stations send 8 kbit/s, 1 KB
// a second, and servers open with a burst, so a live one gets there within a
// few seconds even after a slow connect; a server that answers and then
// trickles a byte a second, or even a hundred (less than any codec plays
// from), never does.
constexpr std::size_t kPlayableBytes = 2 * 1024;

struct Transfer {
  Probe probe;
  Transport transport = Transport::Http;
  std::unique_ptr<platform::Request> request;
  std::string body;
  std::size_t maxBytes = 0;
  bool enough = false;  // we stopped it: the bytes so far tell all

  // Takes what arrived; false once it is enough.
  bool Take(std::string_view bytes) {
    body.append(bytes.substr(0, maxBytes - body.size()));
    const bool list = MayBePlaylist(request->Address(), request->ContentType());
    // A stream is read until it shows it can be played; a list is read whole,
    // unless it turns out to be media after all.
    enough =
        body.size() >= maxBytes || (body.size() >= kPlayableBytes && (!list || LooksBinary(body)));
    return !enough;
  }
};

std::string SchemeOf(const std::string& address) {
  const auto colon = address.find("://");
  return colon == std::string::npos ? std::string() : AsciiLower(address.substr(0, colon));
}

// mms://host[:port]/path is asked as http://host[:port]/path.
std::string MmshAddress(const std::string& address) {
  return "http" + address.substr(address.find("://"));
}

// Windows Media servers answer only a player's request.
void AskAsWindowsMedia(platform::RequestOptions& options) {
  options.userAgent = "NSPlayer/7.10.0.3059";
  options.headers = {
      "Accept: */*",
      "Pragma: no-cache,rate=1.000000,stream-time=0,stream-offset=0:0,request-context=1,"
      "max-duration=0",
      "Pragma: xClientGUID={c77e7400-738a-11d2-9add-0020af0a3278}",
  };
}

class Run {
 public:
  Run(const std::vector<std::string>& urls, const CheckLimits& limits,
      const CheckCallbacks& callbacks, const std::atomic<bool>& cancel)
      : urls_(urls),
        limits_(limits),
        callbacks_(callbacks),
        cancel_(cancel),
        group_(limits.maxConnections) {}

  void Go() {
    for (std::size_t i = 0; i < urls_.size(); ++i) {
      waiting_.push_back({i, urls_[i], 0});
    }
    while ((!waiting_.empty() || !active_.empty()) && !cancel_.load()) {
      StartWaiting();
      for (const auto& [request, result] : group_.Run(std::chrono::milliseconds(100))) {
        const auto found = active_.find(request);
        std::unique_ptr<Transfer> transfer = std::move(found->second);
        active_.erase(found);
        Conclude(*transfer, result);
      }
    }
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
    platform::RequestOptions options;
    options.connectTimeout = limits_.connectTimeout;
    options.deadline = limits_.answerTimeout;
    std::string address = probe.address;
    if (scheme == "http" || scheme == "https") {
      transfer->transport = Transport::Http;
    } else if (scheme == "mms" || scheme == "mmsh") {
      transfer->transport = Transport::Mmsh;
      address = MmshAddress(probe.address);
      AskAsWindowsMedia(options);
    } else if (scheme == "rtsp") {
      transfer->transport = Transport::Rtsp;
      options.method = platform::Method::RtspOptions;
    } else {
      const std::string what = scheme.empty() ? "A local file" : scheme + "://";
      Report(probe, {CheckVerdict::Unchecked, what + " is not checked"});
      return;
    }
    transfer->probe = std::move(probe);
    Transfer* receiver = transfer.get();
    transfer->request = std::make_unique<platform::Request>(
        address, options, [receiver](std::string_view bytes) { return receiver->Take(bytes); });
    if (!group_.Start(*transfer->request)) {
      Report(transfer->probe, Failed(N_("Cannot start the request")));
      return;
    }
    platform::Request* key = transfer->request.get();
    active_.emplace(key, std::move(transfer));
  }

  void Conclude(const Transfer& transfer, const NetResult& result) {
    const bool rtsp = transfer.transport == Transport::Rtsp;
    const bool answered = result.status >= 200 && result.status < 300;
    // The answer time ran out after some bytes: judged by what they are.
    const bool slow = result.error == NetError::NoAnswer && answered && !transfer.body.empty();
    if (result.error != NetError::None && !transfer.enough && !slow) {
      Report(transfer.probe, Failed(platform::FailureText(result)));
      return;
    }
    if (!answered) {
      Report(transfer.probe, Failed(StatusReason(result.status, rtsp)));
      return;
    }
    if (rtsp) {
      Report(transfer.probe, Alive());
      return;
    }
    if (transfer.body.empty()) {
      Report(transfer.probe, Failed(N_("Empty answer")));
      return;
    }
    const BodyKind kind = ClassifyBody(result.address, result.contentType, transfer.body);
    if (kind == BodyKind::Stream) {
      // Too little to play from within the answer time.
      Report(transfer.probe, slow ? Failed(N_("Too slow to play")) : Alive());
    } else if (kind == BodyKind::WebPage) {
      Report(transfer.probe, Failed(N_("A web page, not a stream")));
    } else {
      FollowList(transfer.probe, kind, transfer.body, result.address);
    }
  }

  void FollowList(const Probe& probe, BodyKind kind, const std::string& body,
                  const std::string& where) {
    const std::optional<std::string> entry = FirstEntry(kind, body, where);
    if (!entry) {
      Report(probe, Failed(N_("Empty playlist")));
    } else if (probe.depth >= limits_.maxPlaylistDepth) {
      Report(probe, Failed(N_("Playlists nested too deep")));
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
  platform::RequestGroup group_;
  std::deque<Probe> waiting_;
  std::map<platform::Request*, std::unique_ptr<Transfer>> active_;
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
