// Checks per second for 200 loopback stations, each answering after 10 ms as
// a distant server would: streams, 404s and playlists whose entry is a
// stream. The reference is libcurl's easy interface asking the same
// addresses one after another and stopping at a stream's first bytes, as
// a simple checker would; it follows no playlist, so it makes 150 requests
// to the checker's 200.

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <chrono>
#include <memory>
#include <thread>

#include "health/StationChecker.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/TempFolder.h"

namespace telvanta {
namespace {

using test::HttpConnection;
using test::HttpRequest;
using test::LoopbackHttpServer;

constexpr auto kLatency = std::chrono::milliseconds(10);

LoopbackHttpServer::Route Delayed(std::string head, std::string body, bool endless) {
  return [head, body, endless](const HttpRequest&, HttpConnection& connection) {
    std::this_thread::sleep_for(kLatency);
    if (!connection.Send(head + body)) {
      return;
    }
    while (endless && !connection.Stopping() && connection.Send(body)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  };
}

struct Stations {
  test::TempFolder root;
  LoopbackHttpServer server{root.Path()};
  std::vector<std::string> urls;

  Stations() {
    server.AddRoute("/stream", Delayed("HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n",
                                       std::string(4096, '\x55'), true));
    server.AddRoute("/gone",
                    Delayed("HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n", "", false));
    const std::string list = "[playlist]\nFile1=" + server.Url("/stream") + "\n";
    server.AddRoute("/list.pls",
                    Delayed("HTTP/1.0 200 OK\r\nContent-Type: audio/x-scpls\r\nContent-Length: " +
                                std::to_string(list.size()) + "\r\n\r\n",
                            list, false));
    const char* paths[] = {"/stream", "/gone", "/list.pls", "/stream"};
    for (int i = 0; i < 200; ++i) {
      urls.push_back(server.Url(paths[i % 4]));
    }
  }
};

Stations& Shared() {
  static Stations stations;
  return stations;
}

void BM_StationChecker(benchmark::State& state) {
  const auto& urls = Shared().urls;
  std::atomic<bool> cancel{false};
  std::size_t alive = 0;
  for (auto _ : state) {
    alive = 0;
    health::CheckCallbacks callbacks;
    callbacks.result = [&](std::size_t, const health::CheckOutcome& outcome) {
      alive += outcome.verdict == health::CheckVerdict::Alive ? 1 : 0;
    };
    health::CheckStations(urls, {}, callbacks, cancel);
  }
  state.counters["alive"] = static_cast<double>(alive);
  state.counters["checks/s"] = benchmark::Counter(
      static_cast<double>(state.iterations() * urls.size()), benchmark::Counter::kIsRate);
}

// Any body ends the transfer: the station answered.
std::size_t FirstBytes(char*, std::size_t, std::size_t, void*) { return 0; }

void BM_SequentialCurlEasy(benchmark::State& state) {
  const auto& urls = Shared().urls;
  struct EasyDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
  };
  for (auto _ : state) {
    for (const auto& url : urls) {
      std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
      curl_easy_setopt(easy.get(), CURLOPT_URL, url.c_str());
      curl_easy_setopt(easy.get(), CURLOPT_NOSIGNAL, 1L);
      curl_easy_setopt(easy.get(), CURLOPT_CONNECTTIMEOUT_MS, 5000L);
      curl_easy_setopt(easy.get(), CURLOPT_TIMEOUT_MS, 8000L);
      curl_easy_setopt(easy.get(), CURLOPT_WRITEFUNCTION, FirstBytes);
      benchmark::DoNotOptimize(curl_easy_perform(easy.get()));
    }
  }
  state.counters["checks/s"] = benchmark::Counter(
      static_cast<double>(state.iterations() * urls.size()), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_StationChecker)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_SequentialCurlEasy)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace telvanta

BENCHMARK_MAIN();
