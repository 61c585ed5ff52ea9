#pragma once
// The program's one way onto the network (libcurl is used nowhere else).
// Every request speaks http and https only (an RTSP OPTIONS request, rtsp
// only), follows at most five redirects within those, verifies TLS peers and
// names itself Telvanta unless told otherwise; the caller sets the time
// limits, a byte cap and a cancel flag. Nothing here throws.
//
// A request runs on one thread at a time; requests are independent of each
// other, so any thread may make its own.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/net/NetFailure.h"

namespace telvanta::platform {

inline constexpr std::string_view kUserAgent = "Telvanta/7.2";

enum class Method { Get, RtspOptions };

struct RequestOptions {
  Method method = Method::Get;
  std::chrono::milliseconds connectTimeout{std::chrono::seconds(20)};
  // The whole exchange, redirects included; zero for none.
  std::chrono::milliseconds deadline{0};
  // Slower than lowSpeedBytes a second for lowSpeedTime fails; zero for no floor.
  long lowSpeedBytes = 0;
  std::chrono::seconds lowSpeedTime{0};
  // More body than this fails with TooLarge; zero for no cap.
  std::int64_t maxBytes = 0;
  std::string userAgent{kUserAgent};
  std::vector<std::string> headers;  // extra "Name: value" lines
  // Offers compressed bodies; the sink gets them decoded.
  bool compressed = false;
  // Setting it (from any thread) ends the request within about a second.
  const std::atomic<bool>* cancel = nullptr;
};

// Takes the body as it arrives; false stops the transfer (NetError::Stopped).
using BodySink = std::function<bool(std::string_view bytes)>;

class RequestGroup;

class Request {
 public:
  Request(const std::string& url, const RequestOptions& options, BodySink sink);
  // Leaves its group first, when it is in one.
  ~Request();
  Request(const Request&) = delete;
  Request& operator=(const Request&) = delete;

  // Runs the request to its end on this thread; once, and only for a
  // request that is in no group.
  NetResult Perform();

  // What the answer says so far; may be asked from inside the sink.
  std::string ContentType() const;
  std::string Address() const;  // after redirects

 private:
  friend class RequestGroup;
  struct State;
  std::unique_ptr<State> state_;
};

// Several requests at once on one thread. Requests stay the caller's; one
// destroyed while running simply leaves the group.
class RequestGroup {
 public:
  // Never more than maxConnections open at once; none outlives its request.
  explicit RequestGroup(std::size_t maxConnections);
  ~RequestGroup();
  RequestGroup(const RequestGroup&) = delete;
  RequestGroup& operator=(const RequestGroup&) = delete;

  // False when the request cannot start (or is running already).
  bool Start(Request& request);

  struct Ended {
    Request* request;
    NetResult result;
  };
  // Moves every transfer on; when none has ended, waits up to `wait` for the
  // network. Returns the requests that ended, which have left the group.
  std::vector<Ended> Run(std::chrono::milliseconds wait);

 private:
  friend class Request;
  void Leave(Request& request);

  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace telvanta::platform
