// The player view is sealed: its pages reach no other page, a user's click
// on a link goes to the desktop, nothing of WebKit's lands in the user's
// folders, and the web process runs in WebKit's sandbox. The user's folders
// are a temporary home, set before GTK starts (GLib reads them once).

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "platform/browser/SealedWeb.h"
#include "tests/support/GuiHarness.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/StreamRoutes.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestMedia.h"
#include "tests/support/TestUrlHandler.h"

namespace telvanta::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

fs::path& Home() {
  static fs::path home;
  return home;
}
fs::path Marker() { return Home() / "opened.txt"; }

// What the test handler for web addresses was given; empty if nothing.
std::string Opened() { return ReadFile(Marker()); }

class SealedWebTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pages_ = MakeTempFolder("telvanta-sealed");
    fs::remove(Marker());
    for (const char* path : {"/link", "/blank", "/refresh", "/open", "/form", "/frame"}) {
      server_.AddRoute(path, [](const HttpRequest&, HttpConnection& out) {
        out.Send("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: 5\r\n\r\naway!");
      });
    }
  }
  fs::path Page(const std::string& name, const std::string& html) {
    WriteTextFile(pages_ / name, html);
    return pages_ / name;
  }
  int Requests() const {
    int sum = 0;
    for (const char* path : {"/link", "/blank", "/refresh", "/open", "/form", "/frame"}) {
      sum += server_.Hits(path);
    }
    return sum;
  }
  static std::string UriOf(const fs::path& file) { return "file://" + file.string(); }

  LoopbackHttpServer server_{Media().folder};
  fs::path pages_;
};

TEST_F(SealedWebTest, APageReachesNoOtherPage) {
  struct Case {
    const char* name;
    std::string head;
    std::string body;
  };
  const std::string away = server_.Url("");
  const Case cases[] = {
      {"a meta refresh", "<meta http-equiv=\"refresh\" content=\"0;url=" + away + "/refresh\">",
       ""},
      {"window.open", "", "<script>window.open('" + away + "/open')</script>"},
      {"a link its script clicks", "",
       "<a id=\"a\" href=\"" + away + "/link\">away</a><script>a.click()</script>"},
      {"a new-window link its script clicks", "",
       "<a id=\"a\" target=\"_blank\" href=\"" + away +
           "/blank\">away</a><script>a.click()</script>"},
      {"a form", "",
       "<form id=\"f\" action=\"" + away + "/form\"></form><script>f.submit()</script>"},
      {"a frame", "", "<iframe src=\"" + away + "/frame\"></iframe>"},
      {"another page of the folder", "", "<script>location.href = 'other.htm'</script>"},
      {"a file elsewhere", "", "<script>location.href = 'file:///etc/hostname'</script>"},
  };
  Page("other.htm", "<html><head><title>other</title></head></html>");
  BrowserWindow window(pages_);
  int number = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path page = Page("page" + std::to_string(++number) + ".htm",
                               "<html><head><title>ours</title>" + c.head +
                                   "</head><body><script>document.title = 'ran'</script>" + c.body +
                                   "</body></html>");
    const int before = Requests();
    ASSERT_TRUE(window.Load(page));
    Pump(1s);  // the refresh, the new window, the click: all due at once
    EXPECT_EQ(window.Evaluate("location.href"), UriOf(page));
    EXPECT_EQ(window.Evaluate("document.title"), "ran");  // its scripts did run
    EXPECT_EQ(Requests(), before);
  }
  EXPECT_EQ(Opened(), "");  // none of it was the user's doing

  // The program, too, shows only pages of the folder.
  const fs::path shown = pages_ / ("page" + std::to_string(number) + ".htm");
  const fs::path elsewhere = MakeTempFolder("telvanta-elsewhere") / "page.htm";
  WriteTextFile(elsewhere, "<html><head><title>elsewhere</title></head></html>");
  window.Browser().Navigate(elsewhere.string());
  Pump(500ms);
  EXPECT_EQ(window.Evaluate("location.href"), UriOf(shown));
}

TEST_F(SealedWebTest, AUsersClickOnALinkOpensItOnTheDesktop) {
  const std::string link = server_.Url("/link");
  BrowserWindow window(pages_);
  const fs::path page =
      Page("page.htm", "<html><body style=\"margin:0\"><a href=\"" + link +
                           "\" style=\"display:block;width:400px;height:300px\">away</a>"
                           "</body></html>");
  ASSERT_TRUE(window.Load(page));
  int x = 0;
  int y = 0;
  window.Browser().get_window()->get_origin(x, y);
  ASSERT_TRUE(RunProgram(
      {"xdotool", "mousemove", std::to_string(x + 100), std::to_string(y + 100), "click", "1"}));
  EXPECT_TRUE(WaitUntil([&] { return Opened() == link; }, 10s)) << Opened();
  EXPECT_EQ(window.Evaluate("location.href"), UriOf(page));
  EXPECT_EQ(Requests(), 0);
}

// Every file and folder below the home, as paths relative to it.
std::set<std::string> Listing() {
  std::set<std::string> found;
  for (const auto& entry : fs::recursive_directory_iterator(Home())) {
    found.insert(fs::relative(entry.path(), Home()).string());
  }
  return found;
}

bool IsWebKits(const std::string& path) {
  static const char* const names[] = {"WebKitCache",  "CacheStorage", "hsts-storage.sqlite",
                                      "mediakeys",    "storage",      "webkitgtk",
                                      "localstorage", "indexeddb",    "databases"};
  for (const auto& part : fs::path(path)) {
    for (const char* name : names) {
      if (part == name) {
        return true;
      }
    }
  }
  return false;
}

TEST_F(SealedWebTest, TheUsersFoldersKeepNothingOfWebKits) {
  // What earlier versions left beside the user's own files; one of them a
  // link to a folder that is not WebKit's.
  const fs::path data = Home() / "data" / "telvanta";
  const fs::path cache = Home() / "cache" / "telvanta";
  const fs::path other = MakeTempFolder("telvanta-not-webkits");
  WriteTextFile(other / "keep.txt", "mine");
  for (const fs::path& file : {data / "hsts-storage.sqlite", data / "mediakeys" / "salt",
                               data / "storage" / "local.db", cache / "CacheStorage" / "origin",
                               data / "Fav.dat", data / "storage.txt", cache / "stations.txt"}) {
    WriteTextFile(file, "x");
  }
  fs::create_directory_symlink(other, cache / "WebKitCache");
  platform::PrepareSealedWeb();
  EXPECT_TRUE(fs::exists(other / "keep.txt"));

  // A play: a webcam picture and a stream from the loopback server.
  server_.AddRoute("/live.mp3", IcyMp3Route(Media().folder / TestMedia::kMp3, 8000, "Loop", "On"));
  {
    BrowserWindow window(pages_);
    window.Browser().SetPlayerSettings(TestPlayerSettings());
    ASSERT_TRUE(window.Load(Page("webcam.htm", WebcamPage(server_.Url("/still.jpg")))));
    ASSERT_TRUE(window.Load(Page("radio.htm", WindowsMediaPage(server_.Url("/live.mp3"), true))));
    ASSERT_TRUE(window.WaitForPlayers(1));
    EXPECT_TRUE(
        WaitUntil([&] { return window.Player().phase == platform::PlayerPhase::Playing; }, 10s));
  }
  Pump(500ms);

  std::string listing;
  std::string webkits;
  for (const std::string& path : Listing()) {
    listing += path + "\n";
    webkits += IsWebKits(path) ? path + "\n" : "";
  }
  EXPECT_EQ(webkits, "");
  for (const char* kept :
       {"data/telvanta/Fav.dat", "data/telvanta/storage.txt", "cache/telvanta/stations.txt"}) {
    EXPECT_EQ(Listing().count(kept), 1u) << kept << " is gone; the home holds:\n" << listing;
  }
}

// The processes below this one, each with its parent: (pid, name) pairs.
struct Process {
  int pid;
  int parent;
  std::string name;
};
std::vector<Process> Processes() {
  std::vector<Process> all;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    if (!std::isdigit(static_cast<unsigned char>(entry.path().filename().c_str()[0]))) {
      continue;
    }
    std::ifstream stat(entry.path() / "stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto open = text.find('(');
    const auto close = text.rfind(')');
    if (open == std::string::npos || close == std::string::npos) {
      continue;
    }
    Process process{std::atoi(text.c_str()), 0, text.substr(open + 1, close - open - 1)};
    std::sscanf(text.c_str() + close + 2, "%*c %d", &process.parent);
    all.push_back(process);
  }
  return all;
}

bool Below(const std::vector<Process>& all, const Process& process, int ancestor) {
  for (int parent = process.parent; parent > 1;) {
    if (parent == ancestor) {
      return true;
    }
    const auto up = std::find_if(all.begin(), all.end(),
                                 [parent](const Process& p) { return p.pid == parent; });
    parent = up == all.end() ? 0 : up->parent;
  }
  return false;
}

TEST_F(SealedWebTest, TheWebProcessRunsInBubblewrapWhereItCan) {
  // The reasons the sandbox may be off are named.
  EXPECT_NE(platform::SandboxProblem("/nonexistent/bwrap", platform::kDBusProxy)
                .value_or("")
                .find("/nonexistent/bwrap is missing (package bubblewrap)"),
            std::string::npos);
  EXPECT_NE(platform::SandboxProblem(platform::kBubblewrap, "/nonexistent/proxy")
                .value_or("")
                .find("(package xdg-dbus-proxy)"),
            std::string::npos);
  EXPECT_NE(platform::SandboxProblem("/bin/false", platform::kDBusProxy)
                .value_or("")
                .find("can't make its namespaces"),
            std::string::npos);
  if (const auto& problem = platform::SandboxProblemOnce()) {
    GTEST_SKIP() << "no sandbox on this machine: " << *problem;
  }

  BrowserWindow window(pages_);
  ASSERT_TRUE(window.Load(Page("page.htm", "<html><body>sealed</body></html>")));
  const auto all = Processes();
  int sandboxed = 0;
  for (const Process& process : all) {
    if (process.name.starts_with("WebKitWebProc") && Below(all, process, getpid())) {
      const auto parent = std::find_if(all.begin(), all.end(),
                                       [&](const Process& p) { return p.pid == process.parent; });
      ASSERT_NE(parent, all.end());
      EXPECT_EQ(parent->name, "bwrap") << "web process " << process.pid;
      sandboxed += parent->name == "bwrap";
    }
  }
  EXPECT_GE(sandboxed, 1);
}

}  // namespace
}  // namespace telvanta::test

int main(int argc, char** argv) {
  using telvanta::test::Home;
  // The user's folders: a temporary home, and a handler for web addresses
  // that notes what it was given.
  Home() = telvanta::test::MakeTempFolder("telvanta-sealed-home");
  g_setenv("HOME", Home().c_str(), TRUE);
  g_setenv("XDG_CACHE_HOME", (Home() / "cache").c_str(), TRUE);
  std::filesystem::create_directory(Home() / "run");
  std::filesystem::permissions(Home() / "run", std::filesystem::perms::owner_all);
  g_setenv("XDG_RUNTIME_DIR", (Home() / "run").c_str(), TRUE);
  telvanta::test::InstallTestUrlHandler(Home(), {"http"}, telvanta::test::Marker(), false);
  telvanta::test::InitGtk(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
