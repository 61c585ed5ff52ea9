#include "platform/net/Download.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/Ports.h"
#include "tests/support/StreamRoutes.h"
#include "tests/support/TempFolder.h"

namespace telvanta::platform {
namespace {

using namespace std::chrono_literals;
using test::LoopbackHttpServer;
using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

// Short enough that a stalled server fails a test in a second or two.
DownloadLimits TestLimits() {
  DownloadLimits limits;
  limits.connectTimeout = 2s;
  limits.lowSpeedBytes = 100;
  limits.lowSpeedTime = 1s;
  limits.maxBytes = 1024 * 1024;
  return limits;
}

// Everything in the folder other than the target, i.e. leftover temporaries.
std::vector<std::string> Leftovers(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().filename() != "target") {
      names.push_back(entry.path().filename().string());
    }
  }
  return names;
}

class DownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(served_ / "good.ini", "[Current]\nVersion=7.2.0.0\n");
    server_.AddRoute("/truncated", LoopbackHttpServer::Truncated("only part", 1000));
    server_.AddRoute("/slow", LoopbackHttpServer::Trickle(400ms));
    server_.AddRoute("/trickle", LoopbackHttpServer::Trickle(50ms));
    server_.AddRoute("/endless", LoopbackHttpServer::Endless());
    server_.AddRoute("/silent", test::SilentRoute());
  }

  TempFolder served_{"telvanta-served"};
  TempFolder downloads_{"telvanta-downloads"};
  LoopbackHttpServer server_{served_.Path()};
};

TEST_F(DownloadTest, TrueOnlyForAWholeFileAndFailuresLeaveTheOldFile) {
  struct Case {
    const char* what;
    std::string url;
    bool whole;
  };
  const std::vector<Case> cases = {
      {"a good file", server_.Url("/good.ini"), true},
      {"404 must not store the error page", server_.Url("/missing.ini"), false},
      {"a body shorter than its Content-Length", server_.Url("/truncated"), false},
      {"a server that trickles below the low-speed limit", server_.Url("/slow"), false},
      {"an answer that never ends", server_.Url("/endless"), false},
      {"a refused connection", "http://127.0.0.1:" + std::to_string(test::ClosedPort()) + "/a",
       false},
      {"no scheme but http and https", "file://" + (served_.Path() / "good.ini").string(), false},
      {"TLS to a plain HTTP server",
       "https://127.0.0.1:" + std::to_string(server_.Port()) + "/good.ini", false},
  };
  const auto target = downloads_ / "target";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFile(target, "old");
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(DownloadFile(c.url, target, nullptr, TestLimits()), c.whole);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 8s);
    EXPECT_EQ(ReadFile(target), c.whole ? "[Current]\nVersion=7.2.0.0\n" : "old");
    EXPECT_TRUE(Leftovers(downloads_.Path()).empty());
  }
}

// A server trickling just above the low-speed limit once held the update
// worker (and a manual check) until 256 MiB had come.
TEST_F(DownloadTest, TheDeadlineEndsATrickleAboveTheLowSpeedLimit) {
  DownloadLimits lenient = TestLimits();
  lenient.lowSpeedBytes = 1;
  WriteFile(downloads_ / "target", "old");
  EXPECT_FALSE(DownloadFile(server_.Url("/trickle"), downloads_ / "target", nullptr, lenient, 1s));
  EXPECT_EQ(ReadFile(downloads_ / "target"), "old");
  EXPECT_TRUE(Leftovers(downloads_.Path()).empty());
}

// Closing the program must not wait for a server that says nothing.
TEST_F(DownloadTest, CancelEndsASilentTransferPromptly) {
  DownloadLimits patient = TestLimits();
  patient.lowSpeedTime = 60s;
  std::atomic<bool> cancel{false};
  std::thread closer([&cancel] {
    std::this_thread::sleep_for(300ms);
    cancel = true;
  });
  const auto started = std::chrono::steady_clock::now();
  const bool whole = DownloadFile(server_.Url("/silent"), downloads_ / "target", &cancel, patient);
  const auto took = std::chrono::steady_clock::now() - started;
  closer.join();
  EXPECT_FALSE(whole);
  EXPECT_LT(took, 3s);
  EXPECT_FALSE(std::filesystem::exists(downloads_ / "target"));
}

TEST_F(DownloadTest, AnAlreadyCancelledDownloadDoesNotConnect) {
  std::atomic<bool> cancel{true};
  EXPECT_FALSE(DownloadFile(server_.Url("/good.ini"), downloads_ / "target", &cancel));
  EXPECT_EQ(server_.Hits("/good.ini"), 0);
}

TEST_F(DownloadTest, AMissingFolderIsAFailureNotAThrow) {
  EXPECT_FALSE(DownloadFile(server_.Url("/good.ini"), downloads_ / "no" / "such" / "target"));
}

}  // namespace
}  // namespace telvanta::platform
