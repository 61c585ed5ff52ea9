#pragma once
// A small HTTP/1.0 server on 127.0.0.1 for tests: serves files from a folder
// (with byte ranges) and routes of the test's own (endless streams, silent
// sockets). One thread per connection; everything stops in the destructor.

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace telvanta::test {

struct HttpRequest {
  std::string method;
  std::string path;                            // without the query
  std::map<std::string, std::string> headers;  // names in lower case
  std::string Header(const std::string& name) const;
};

// The open connection a route writes its answer to.
class HttpConnection {
 public:
  HttpConnection(int fd, const std::atomic<bool>& stopping) : fd_(fd), stopping_(stopping) {}
  // False once the client has gone or the server stops.
  bool Send(std::string_view bytes);
  bool Stopping() const { return stopping_.load(); }

 private:
  int fd_;
  const std::atomic<bool>& stopping_;
};

class LoopbackHttpServer {
 public:
  using Route = std::function<void(const HttpRequest&, HttpConnection&)>;

  explicit LoopbackHttpServer(std::filesystem::path root);
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  int Port() const { return port_; }
  // "http://127.0.0.1:<port>" + path
  std::string Url(std::string_view path) const;
  // Answers requests for exactly this path (before any file).
  void AddRoute(const std::string& path, Route route);
  // How many requests reached a path.
  int Hits(const std::string& path) const;
  // The most connections the clients held open at once, counted when each
  // is accepted (a connection the client has closed no longer counts).
  int MostConnectionsAtOnce() const;

  static std::string ContentTypeFor(const std::filesystem::path& file);

  // Answers that downloads must survive: a Content-Length longer than the
  // body, which then ends; a body that trickles a byte per `gap`; a 200
  // answer that never ends.
  static Route Truncated(std::string body, std::size_t claimedLength);
  static Route Trickle(std::chrono::milliseconds gap);
  static Route Endless();

 private:
  void AcceptLoop();
  void CountOpenConnections();
  void Serve(int fd);
  void ServeFile(const HttpRequest& request, HttpConnection& connection);

  std::filesystem::path root_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::map<std::string, Route> routes_;
  std::map<std::string, int> hits_;
  int mostAtOnce_ = 0;
  std::vector<int> openSockets_;
  std::vector<std::thread> workers_;
  std::thread acceptor_;
};

}  // namespace telvanta::test
