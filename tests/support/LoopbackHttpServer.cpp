#include "tests/support/LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "common/AsciiText.h"

namespace telvanta::test {
namespace {

// Reads up to the blank line; false when the client sent none in time.
bool ReadHead(int fd, std::string& head, const std::atomic<bool>& stopping) {
  char buffer[1024];
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < 16384) {
    pollfd wait{fd, POLLIN, 0};
    const int ready = poll(&wait, 1, 100);
    if (stopping.load()) {
      return false;
    }
    if (ready <= 0) {
      continue;
    }
    const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
    if (got <= 0) {
      return false;
    }
    head.append(buffer, static_cast<std::size_t>(got));
  }
  return head.find("\r\n\r\n") != std::string::npos;
}

HttpRequest ParseHead(const std::string& head) {
  HttpRequest request;
  std::istringstream lines(head);
  std::string line;
  std::getline(lines, line);
  std::istringstream first(line);
  std::string target;
  first >> request.method >> target;
  request.path = target.substr(0, target.find('?'));
  while (std::getline(lines, line) && line != "\r") {
    const auto colon = line.find(':');
    if (colon == std::string::npos) {
      continue;
    }
    std::string value = line.substr(colon + 1);
    value.erase(0, value.find_first_not_of(' '));
    while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) {
      value.pop_back();
    }
    request.headers[AsciiLower(line.substr(0, colon))] = value;
  }
  return request;
}

}  // namespace

std::string HttpRequest::Header(const std::string& name) const {
  const auto found = headers.find(AsciiLower(name));
  return found == headers.end() ? std::string() : found->second;
}

bool HttpConnection::Send(std::string_view bytes) {
  while (!bytes.empty()) {
    if (stopping_.load()) {
      return false;
    }
    pollfd wait{fd_, POLLOUT, 0};
    if (poll(&wait, 1, 100) <= 0) {
      continue;
    }
    const ssize_t sent = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent <= 0) {
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

LoopbackHttpServer::LoopbackHttpServer(std::filesystem::path root) : root_(std::move(root)) {
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (listener_ < 0 ||
      bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listener_, 64) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("cannot listen on 127.0.0.1");
  }
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  stopping_ = true;
  acceptor_.join();
  {
    std::lock_guard lock(mutex_);
    for (const int fd : openSockets_) {
      shutdown(fd, SHUT_RDWR);
    }
  }
  for (auto& worker : workers_) {
    worker.join();
  }
  close(listener_);
}

std::string LoopbackHttpServer::Url(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

void LoopbackHttpServer::AddRoute(const std::string& path, Route route) {
  std::lock_guard lock(mutex_);
  routes_[path] = std::move(route);
}

int LoopbackHttpServer::Hits(const std::string& path) const {
  std::lock_guard lock(mutex_);
  const auto found = hits_.find(path);
  return found == hits_.end() ? 0 : found->second;
}

// A route may still hold a socket whose client has gone. On loopback the
// client's close is sent before its next connection, but the two may travel
// through different processors' queues, so a new highest count is looked at
// again a moment later before it is believed.
void LoopbackHttpServer::CountOpenConnections() {
  const auto openNow = [this] {
    int open = 0;
    for (const int fd : openSockets_) {
      pollfd state{fd, POLLRDHUP, 0};
      if (poll(&state, 1, 0) == 0 || (state.revents & (POLLRDHUP | POLLHUP | POLLERR)) == 0) {
        ++open;
      }
    }
    return open;
  };
  int open = openNow();
  if (open > mostAtOnce_) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    open = openNow();
  }
  mostAtOnce_ = std::max(mostAtOnce_, open);
}

int LoopbackHttpServer::MostConnectionsAtOnce() const {
  std::lock_guard lock(mutex_);
  return mostAtOnce_;
}

void LoopbackHttpServer::AcceptLoop() {
  while (!stopping_.load()) {
    pollfd wait{listener_, POLLIN, 0};
    if (poll(&wait, 1, 100) <= 0) {
      continue;
    }
    const int fd = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) {
      continue;
    }
    std::lock_guard lock(mutex_);
    openSockets_.push_back(fd);
    CountOpenConnections();
    workers_.emplace_back([this, fd] { Serve(fd); });
  }
}

void LoopbackHttpServer::Serve(int fd) {
  std::string head;
  if (ReadHead(fd, head, stopping_)) {
    const HttpRequest request = ParseHead(head);
    HttpConnection connection(fd, stopping_);
    Route route;
    {
      std::lock_guard lock(mutex_);
      ++hits_[request.path];
      const auto found = routes_.find(request.path);
      if (found != routes_.end()) {
        route = found->second;
      }
    }
    if (route) {
      route(request, connection);
    } else {
      ServeFile(request, connection);
    }
  }
  std::lock_guard lock(mutex_);
  openSockets_.erase(std::remove(openSockets_.begin(), openSockets_.end(), fd), openSockets_.end());
  close(fd);
}

std::string LoopbackHttpServer::ContentTypeFor(const std::filesystem::path& file) {
  static const std::map<std::string, std::string> kTypes = {
      {".m3u8", "application/vnd.apple.mpegurl"},
      {".m3u", "audio/x-mpegurl"},
      {".ts", "video/mp2t"},
      {".mp3", "audio/mpeg"},
      {".wmv", "video/x-ms-wmv"},
      {".asf", "video/x-ms-asf"},
      {".asx", "video/x-ms-asf"},
      {".wvx", "video/x-ms-wvx"},
      {".pls", "audio/x-scpls"},
      {".ram", "audio/x-pn-realaudio"},
      {".smil", "application/smil+xml"},
      {".xspf", "application/xspf+xml"},
      {".jpg", "image/jpeg"},
      {".html", "text/html"},
      {".txt", "text/plain"},
  };
  const auto found = kTypes.find(AsciiLower(file.extension().string()));
  return found == kTypes.end() ? "application/octet-stream" : found->second;
}

void LoopbackHttpServer::ServeFile(const HttpRequest& request, HttpConnection& connection) {
  const std::filesystem::path relative = std::filesystem::path(request.path).relative_path();
  const bool escapes = std::any_of(relative.begin(), relative.end(),
                                   [](const std::filesystem::path& part) { return part == ".."; });
  const std::filesystem::path file = root_ / relative;
  std::ifstream in(file, std::ios::binary);
  if (escapes || relative.empty() || !std::filesystem::is_regular_file(file) || !in) {
    connection.Send(
        "HTTP/1.0 404 Not Found\r\nContent-Type: text/plain\r\nContent-Length: 9\r\n"
        "Connection: close\r\n\r\nnot found");
    return;
  }
  std::string body((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::size_t first = 0;
  std::size_t last = body.empty() ? 0 : body.size() - 1;
  bool partial = false;
  const std::string range = request.Header("range");
  if (range.starts_with("bytes=")) {
    const std::string byteRange = range.substr(6);
    const auto dash = byteRange.find('-');
    first = std::stoull(byteRange.substr(0, dash));
    if (dash != std::string::npos && dash + 1 < byteRange.size()) {
      last = std::min<std::size_t>(last, std::stoull(byteRange.substr(dash + 1)));
    }
    partial = true;
    if (first >= body.size()) {
      connection.Send("HTTP/1.0 416 Range Not Satisfiable\r\nConnection: close\r\n\r\n");
      return;
    }
  }
  std::ostringstream head;
  head << (partial ? "HTTP/1.0 206 Partial Content\r\n" : "HTTP/1.0 200 OK\r\n")
       << "Content-Type: " << ContentTypeFor(file) << "\r\n"
       << "Content-Length: " << (last - first + 1) << "\r\n"
       << "Accept-Ranges: bytes\r\n";
  if (partial) {
    head << "Content-Range: bytes " << first << "-" << last << "/" << body.size() << "\r\n";
  }
  head << "Connection: close\r\n\r\n";
  if (connection.Send(head.str()) && request.method != "HEAD") {
    connection.Send(std::string_view(body).substr(first, last - first + 1));
  }
}

}  // namespace telvanta::test

namespace telvanta::test {

LoopbackHttpServer::Route LoopbackHttpServer::Truncated(std::string body,
                                                        std::size_t claimedLength) {
  return [body = std::move(body), claimedLength](const HttpRequest&, HttpConnection& connection) {
    connection.Send(
        "HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
        std::to_string(claimedLength) + "\r\n\r\n" + body);
  };
}

LoopbackHttpServer::Route LoopbackHttpServer::Trickle(std::chrono::milliseconds gap) {
  return [gap](const HttpRequest&, HttpConnection& connection) {
    if (!connection.Send("HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n")) {
      return;
    }
    while (!connection.Stopping() && connection.Send("x")) {
      std::this_thread::sleep_for(gap);
    }
  };
}

LoopbackHttpServer::Route LoopbackHttpServer::Endless() {
  return [](const HttpRequest&, HttpConnection& connection) {
    const std::string block(16 * 1024, 'x');
    if (!connection.Send("HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\n\r\n")) {
      return;
    }
    while (!connection.Stopping() && connection.Send(block)) {
    }
  };
}

}  // namespace telvanta::test
