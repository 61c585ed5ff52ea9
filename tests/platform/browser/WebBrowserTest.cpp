// The browser host: load events, and players that sit exactly over their
// elements and come and go with them.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/support/GuiHarness.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/Ports.h"
#include "tests/support/StreamRoutes.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestMedia.h"

namespace telvanta::test {
namespace {

using namespace std::chrono_literals;
using platform::PixelRect;
using platform::ReadyState;

// Addresses that fail at once: placement needs no stream.
std::string DeadAddress(const std::string& name) {
  return "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/" + name;
}

std::string PositionedPage(const std::string& body, const std::string& css = "") {
  return "<html><head><title>Placement</title><style>html,body{margin:0}"
         ".p{position:absolute;left:50px;top:60px;width:320px;height:240px}" +
         css + "</style></head><body>" + body + "</body></html>";
}

std::string WmpObject(const std::string& id, const std::string& address,
                      const std::string& attributes = "class=\"p\" width=\"320\" height=\"240\"") {
  return "<object id=\"" + id + "\" type=\"application/x-ms-wmp\" data=\"" + address + "\" " +
         attributes + "></object>";
}

// A live MP3 stream served at a path, counting its requests and the
// connections still open.
struct CountedStream {
  CountedStream(LoopbackHttpServer& server, const std::string& path) : url(server.Url(path)) {
    server.AddRoute(path, [this, stream = IcyMp3Route(Media().folder / TestMedia::kMp3, 8000,
                                                      "Loop FM", "Song")](
                              const HttpRequest& request, HttpConnection& connection) {
      ++requests;
      ++open;
      stream(request, connection);
      --open;
    });
  }
  std::atomic<int> requests = 0;
  std::atomic<int> open = 0;
  const std::string url;
};

class WebBrowserTest : public ::testing::Test {
 protected:
  void SetUp() override { pages_ = MakeTempFolder("telvanta-browser"); }
  std::filesystem::path Page(const std::string& html) {
    const auto file = pages_ / ("page" + std::to_string(++count_) + ".htm");
    WriteTextFile(file, html);
    return file;
  }
  static bool WaitForBox(BrowserWindow& window, PixelRect box, std::size_t index = 0) {
    return WaitUntil(
        [&] {
          const auto players = window.Browser().Players();
          return index < players.size() && players[index].box == box;
        },
        5s);
  }
  static std::string BoxText(BrowserWindow& window, std::size_t index = 0) {
    const auto box = window.Player(index).box;
    return std::to_string(box.x) + "," + std::to_string(box.y) + " " + std::to_string(box.width) +
           "x" + std::to_string(box.height);
  }
  std::filesystem::path pages_;
  int count_ = 0;
};

TEST_F(WebBrowserTest, ReadyStateAndDownloadCompleteFollowTheLoad) {
  BrowserWindow window(pages_);
  EXPECT_EQ(window.Browser().GetReadyState(), ReadyState::Uninitialized);
  int completions = 0;
  window.Browser().signal_download_complete().connect([&] { ++completions; });
  window.Browser().Navigate(Page("<html><body>one</body></html>").string());
  EXPECT_EQ(window.Browser().GetReadyState(), ReadyState::Loading);
  EXPECT_TRUE(WaitUntil([&] { return completions == 1; }, 10s));
  EXPECT_EQ(window.Browser().GetReadyState(), ReadyState::Complete);
  window.Browser().Navigate(Page("<html><body>two</body></html>").string());
  EXPECT_TRUE(WaitUntil([&] { return completions == 2; }, 10s));
  Pump(200ms);
  EXPECT_EQ(completions, 2);
  EXPECT_EQ(window.Evaluate("document.body.textContent"), "two");
}

TEST_F(WebBrowserTest, AMissingPageStillCompletes) {
  BrowserWindow window(pages_);
  EXPECT_TRUE(window.Load(pages_ / "no-such-page.htm"));
  EXPECT_EQ(window.Browser().GetReadyState(), ReadyState::Complete);
}

TEST_F(WebBrowserTest, APlayerSitsOverItsElementAndFollowsIt) {
  BrowserWindow window(pages_);
  ASSERT_TRUE(window.Load(Page(PositionedPage(WmpObject("p", DeadAddress("a.mp3"))))));
  ASSERT_TRUE(window.WaitForPlayers(1));
  EXPECT_TRUE(WaitForBox(window, {50, 60, 320, 240})) << BoxText(window);
  window.Evaluate(
      "var s = document.getElementById('p').style; s.left = '100px'; s.top = '80px';"
      "s.width = '200px'; s.height = '150px'; 1");
  EXPECT_TRUE(WaitForBox(window, {100, 80, 200, 150})) << BoxText(window);
}

TEST_F(WebBrowserTest, ScrollingMovesThePlayerWithThePage) {
  BrowserWindow window(pages_);
  ASSERT_TRUE(window.Load(Page(PositionedPage(WmpObject("p", DeadAddress("a.mp3")) +
                                              "<div style=\"height:3000px\"></div>"))));
  ASSERT_TRUE(window.WaitForPlayers(1));
  ASSERT_TRUE(WaitForBox(window, {50, 60, 320, 240})) << BoxText(window);
  window.Evaluate("window.scrollTo(0, 100); 1");
  // Partly above the view: the widget goes there too and is clipped.
  EXPECT_TRUE(WaitForBox(window, {50, -40, 320, 240})) << BoxText(window);
}

TEST_F(WebBrowserTest, ZoomScalesThePlayerBox) {
  BrowserWindow window(pages_);
  ASSERT_TRUE(window.Load(Page(PositionedPage(WmpObject("p", DeadAddress("a.mp3"))))));
  ASSERT_TRUE(window.WaitForPlayers(1));
  ASSERT_TRUE(WaitForBox(window, {50, 60, 320, 240})) << BoxText(window);
  window.Browser().SetZoomLevel(1.5);
  EXPECT_TRUE(WaitForBox(window, {75, 90, 480, 360})) << BoxText(window);
}

TEST_F(WebBrowserTest, AnUncentredRealPlayerWithoutSizeFillsTheViewAndFollowsIt) {
  BrowserWindow window(pages_, 640, 480);
  ASSERT_TRUE(window.Load(Page(RealPlayerPage(DeadAddress("a.rm"), false))));
  ASSERT_TRUE(window.WaitForPlayers(1));
  EXPECT_TRUE(WaitForBox(window, {0, 0, 640, 480})) << BoxText(window);
  Pump(500ms);  // the page's answer to the new size is in
  // The element stays at the top left: only the view's size changes.
  window.Window().resize(720, 480);
  EXPECT_TRUE(WaitForBox(window, {0, 0, 720, 480})) << BoxText(window);
}

TEST_F(WebBrowserTest, AHiddenElementHidesItsPlayer) {
  BrowserWindow window(pages_);
  ASSERT_TRUE(window.Load(Page(PositionedPage(WmpObject("p", DeadAddress("a.mp3"))))));
  ASSERT_TRUE(window.WaitForPlayers(1));
  ASSERT_TRUE(WaitUntil([&] { return window.Player().visible; }, 5s));
  window.Evaluate("document.getElementById('p').style.display = 'none'; 1");
  EXPECT_TRUE(WaitUntil([&] { return !window.Player().visible; }, 5s));
  window.Evaluate("document.getElementById('p').style.display = ''; 1");
  EXPECT_TRUE(WaitUntil([&] { return window.Player().visible; }, 5s));
}

TEST_F(WebBrowserTest, PlayersComeAndGoWithTheirElements) {
  BrowserWindow window(pages_);
  ASSERT_TRUE(window.Load(Page(PositionedPage(WmpObject("p", DeadAddress("a.mp3"))))));
  ASSERT_TRUE(window.WaitForPlayers(1));
  const std::string first = window.Player().address;
  window.Evaluate("document.getElementById('p').remove(); 1");
  EXPECT_TRUE(window.WaitForPlayers(0));
  const std::string second = DeadAddress("b.mp3");
  window.Evaluate(
      "var o = document.createElement('object'); o.type = 'audio/x-pn-realaudio-plugin';"
      "o.data = '" +
      second + "'; o.className = 'p'; document.body.appendChild(o); 1");
  ASSERT_TRUE(window.WaitForPlayers(1));
  EXPECT_EQ(window.Player().address, second);
  EXPECT_EQ(window.Player().widgetName, "PNGUIClass");
  // A new address is a new player.
  const std::string third = DeadAddress("c.mp3");
  window.Evaluate("document.querySelector('object').setAttribute('data', '" + third + "'); 1");
  EXPECT_TRUE(WaitUntil([&] { return window.Player().address == third; }, 5s));
  EXPECT_NE(first, third);
}

TEST_F(WebBrowserTest, NavigatingAwayRemovesTheOldPagesPlayers) {
  BrowserWindow window(pages_);
  ASSERT_TRUE(window.Load(Page(PositionedPage(WmpObject("p", DeadAddress("a.mp3"))))));
  ASSERT_TRUE(window.WaitForPlayers(1));
  window.Browser().Navigate(Page("<html><body>no players</body></html>").string());
  EXPECT_TRUE(window.Browser().Players().empty());
  EXPECT_TRUE(
      WaitUntil([&] { return window.Browser().GetReadyState() == ReadyState::Complete; }, 10s));
  Pump(300ms);
  EXPECT_TRUE(window.Browser().Players().empty());
}

TEST_F(WebBrowserTest, OnlyTheTwoPlugInTypesGetPlayers) {
  const std::string address = DeadAddress("x.wmv");
  BrowserWindow window(pages_);
  ASSERT_TRUE(
      window.Load(Page("<html><body>"
                       "<object type=\"video/mp4\" data=\"" +
                       address +
                       "\" width=\"10\" height=\"10\"></object>"
                       "<embed type=\"application/x-shockwave-flash\" src=\"" +
                       address +
                       "\" width=\"10\" height=\"10\">"
                       "<embed id=\"e\" type=\"application/x-mplayer2\" src=\"" +
                       address +
                       "\" width=\"100\" height=\"80\">"
                       "<object type=\"application/x-ms-wmp\" data=\"" +
                       address +
                       "\" width=\"100\" height=\"80\">"
                       "<embed type=\"application/x-mplayer2\" src=\"" +
                       address +
                       "\"></object>"
                       "<object type=\"audio/x-pn-realaudio\" data=\"" +
                       address +
                       "\" width=\"100\" height=\"80\"></object>"
                       "</body></html>")));
  ASSERT_TRUE(window.WaitForPlayers(3));
  Pump(300ms);
  const auto players = window.Browser().Players();
  ASSERT_EQ(players.size(), 3u);  // the embed inside the object is the same player
  EXPECT_EQ(players[0].kind, platform::PlayerKind::WindowsMedia);
  EXPECT_EQ(players[0].type, "application/x-mplayer2");
  EXPECT_EQ(players[1].type, "application/x-ms-wmp");
  EXPECT_EQ(players[2].kind, platform::PlayerKind::RealPlayer);
  EXPECT_EQ(players[2].widgetName, "PNGUIClass");
  EXPECT_EQ(players[0].widgetName, platform::kWindowsMediaWidgetName);
}

TEST_F(WebBrowserTest, AHostilePageCannotMakeThousandsOfPlayers) {
  std::string body;
  for (int i = 0; i < 200; ++i) {
    body += WmpObject("p" + std::to_string(i), DeadAddress("x.mp3"), "width=\"4\" height=\"4\"");
  }
  BrowserWindow window(pages_);
  ASSERT_TRUE(window.Load(Page("<html><body>" + body + "</body></html>")));
  ASSERT_TRUE(WaitUntil([&] { return !window.Browser().Players().empty(); }, 10s));
  Pump(500ms);
  EXPECT_LE(window.Browser().Players().size(), 32u);
}

TEST_F(WebBrowserTest, TheWheelOverAPlayerScrollsThePage) {
  BrowserWindow window(pages_);
  ASSERT_TRUE(window.Load(Page(PositionedPage(WmpObject("p", DeadAddress("a.mp3")) +
                                              "<div style=\"height:5000px\"></div>"))));
  ASSERT_TRUE(window.WaitForPlayers(1));
  ASSERT_TRUE(WaitForBox(window, {50, 60, 320, 240})) << BoxText(window);
  int originX = 0;
  int originY = 0;
  window.Player().widget->get_window()->get_origin(originX, originY);
  ASSERT_TRUE(RunProgram({"xdotool", "mousemove", std::to_string(originX + 160),
                          std::to_string(originY + 120), "click", "--repeat", "3", "5"}));
  EXPECT_TRUE(WaitUntil(
      [&] {
        const auto scrolled = window.Evaluate("window.scrollY");
        return scrolled && *scrolled != "0";
      },
      5s));
}

// A player started before its page opens the stream once, and the page's
// element takes it over; a page that shows something else ends it.
TEST_F(WebBrowserTest, AStartedPlayerIsTakenOverOnlyByItsOwnElement) {
  struct Case {
    const char* name;
    bool pageShowsStartedStream;
  };
  for (const Case c : {Case{"taken over", true}, Case{"not wanted", false}}) {
    SCOPED_TRACE(c.name);
    LoopbackHttpServer server(Media().folder);
    CountedStream counted(server, "/started");
    std::atomic<int>& requests = counted.requests;
    std::atomic<int>& open = counted.open;
    const std::string& started = counted.url;
    BrowserWindow window(pages_);
    window.Browser().SetPlayerSettings({.audioOutput = "null"});
    window.Browser().StartPlayer(started);
    ASSERT_TRUE(WaitUntil([&] { return requests == 1; }, 10s));
    const std::string shown = c.pageShowsStartedStream ? started : DeadAddress("other.mp3");
    window.Browser().Navigate(Page(PositionedPage(WmpObject("p", shown))).string());
    ASSERT_TRUE(window.WaitForPlayers(1));
    EXPECT_EQ(window.Player().address, shown);
    if (c.pageShowsStartedStream) {
      EXPECT_TRUE(WaitUntil(
          [&] {
            return window.Player().framesRendered > 0 ||
                   window.Player().phase == platform::PlayerPhase::Playing;
          },
          10s));
      EXPECT_EQ(requests, 1);
    } else {
      EXPECT_TRUE(WaitUntil([&] { return open == 0; }, 10s));
    }
    window.Browser().Stop();
    EXPECT_TRUE(WaitUntil([&] { return open == 0; }, 10s));
  }
}

// A stream started after a play shows at once where the last player stood;
// the next page's report keeps it there without opening the stream again,
// moves it, or removes it.
TEST_F(WebBrowserTest, AStartedStreamShowsAtOnceWhereTheLastPlayerStood) {
  struct Case {
    const char* name;
    std::string css;
    bool pageHasPlayer;
    PixelRect box;
  };
  LoopbackHttpServer server(Media().folder);
  CountedStream counted(server, "/started");
  std::atomic<int>& requests = counted.requests;
  std::atomic<int>& open = counted.open;
  const std::string& started = counted.url;
  const PixelRect last{50, 60, 320, 240};
  const Case cases[] = {{"the same place", "", true, last},
                        {"another place", ".p{left:100px}", true, {100, 60, 320, 240}},
                        {"no player", "", false, {}}};
  BrowserWindow window(pages_);
  window.Browser().SetPlayerSettings({.audioOutput = "null"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    window.Browser().Navigate(Page(PositionedPage(WmpObject("p", DeadAddress("a.mp3")))).string());
    ASSERT_TRUE(WaitForBox(window, last));
    requests = 0;
    window.Browser().StartPlayer(started);
    ASSERT_EQ(window.Browser().Players().size(), 1U);
    EXPECT_EQ(window.Player().address, started);
    EXPECT_TRUE(WaitForBox(window, last));  // no page asked yet
    const std::string body = c.pageHasPlayer ? WmpObject("p", started) : "<p>nothing</p>";
    window.Browser().Navigate(Page(PositionedPage(body, c.css)).string());
    ASSERT_TRUE(
        WaitUntil([&] { return window.Browser().GetReadyState() == ReadyState::Complete; }, 10s));
    if (c.pageHasPlayer) {
      EXPECT_TRUE(WaitForBox(window, c.box));
      EXPECT_TRUE(
          WaitUntil([&] { return window.Player().phase == platform::PlayerPhase::Playing; }, 10s));
      EXPECT_EQ(requests, 1);
    } else {
      EXPECT_TRUE(window.WaitForPlayers(0));
      EXPECT_TRUE(WaitUntil([&] { return open == 0; }, 10s));
    }
  }
  // Another page asked for before the first reported: the early player goes.
  window.Browser().StartPlayer(started);
  window.Browser().Navigate(Page(PositionedPage(WmpObject("p", started))).string());
  window.Browser().Navigate(Page(PositionedPage("<p>nothing</p>")).string());
  EXPECT_TRUE(window.Browser().Players().empty());
  window.Browser().Stop();
  EXPECT_TRUE(WaitUntil([&] { return open == 0; }, 10s));
  // The page waits for the early player's picture, but not for a stream
  // that says nothing.
  server.AddRoute("/silent", SilentRoute());
  window.Browser().StartPlayer(server.Url("/silent"));
  window.Browser().Navigate(Page(PositionedPage(WmpObject("p", server.Url("/silent")))).string());
  EXPECT_TRUE(
      WaitUntil([&] { return window.Browser().GetReadyState() == ReadyState::Complete; }, 3s));
  EXPECT_TRUE(WaitForBox(window, last));
  // The page being left may still be loading while the next one waits: its
  // end of load is not the next page's, and it cannot take the early player.
  std::atomic<bool> letPictureGo = false;
  server.AddRoute("/picture", [&letPictureGo](const HttpRequest&, HttpConnection& connection) {
    while (!letPictureGo && !connection.Stopping()) {
      std::this_thread::sleep_for(5ms);
    }
    connection.Send("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
  });
  window.Browser().StartPlayer(started);
  window.Browser().Navigate(
      Page(PositionedPage(WmpObject("p", started) + "<img src=\"" + server.Url("/picture") + "\">",
                          ".p{left:150px}"))
          .string());
  ASSERT_TRUE(WaitForBox(window, {150, 60, 320, 240}));
  window.Browser().StartPlayer(server.Url("/silent"));
  window.Browser().Navigate(
      Page(PositionedPage(WmpObject("p", server.Url("/silent")), ".p{left:100px}")).string());
  letPictureGo = true;
  Pump(100ms);
  EXPECT_EQ(window.Browser().GetReadyState(), ReadyState::Loading);
  EXPECT_TRUE(WaitForBox(window, {100, 60, 320, 240}));
  window.Browser().Stop();
}

// A play starts on the browser's kept engine, also while another played on
// it, and must still tell why its stream failed: ffmpeg's lines come through
// the first engine of the process only.
TEST_F(WebBrowserTest, APlayStartedAfterAnotherStillSaysWhyItFailed) {
  LoopbackHttpServer server(Media().folder);
  server.AddRoute("/live.mp3", IcyMp3Route(Media().folder / TestMedia::kMp3, 8000, "Loop", "On"));
  const std::string live = server.Url("/live.mp3");
  const std::string missing = server.Url("/missing.mp3");
  const std::string notFound = "The stream was not found on the server (error 404).";
  BrowserWindow window(pages_);
  window.Browser().SetPlayerSettings({.audioOutput = "null"});
  const auto play = [&](const std::string& started, const std::string& shown) {
    window.Browser().StartPlayer(started);
    window.Browser().Navigate(Page(PositionedPage(WmpObject("p", shown))).string());
    return window.WaitForPlayers(1);
  };
  const auto failed = [&] {
    return WaitUntil([&] { return window.Player().phase == platform::PlayerPhase::Failed; }, 10s);
  };
  Pump(500ms);
  ASSERT_TRUE(play(missing, missing));
  ASSERT_TRUE(failed());
  EXPECT_EQ(window.Player().errorText, notFound) << "on the kept engine";

  ASSERT_TRUE(play(live, live));
  ASSERT_TRUE(
      WaitUntil([&] { return window.Player().phase == platform::PlayerPhase::Playing; }, 10s));
  Pump(1500ms);
  ASSERT_TRUE(play(missing, missing));
  ASSERT_TRUE(failed());
  EXPECT_EQ(window.Player().errorText, notFound) << "after a playing stream";

  ASSERT_TRUE(play(live, missing));
  ASSERT_TRUE(failed());
  EXPECT_EQ(window.Player().errorText, notFound) << "beside a started player not wanted";
  window.Browser().Stop();
}

// The engine is kept from one play to the next: a play that replaces one
// must show nothing of the stream before it (its frames, its picture size).
TEST_F(WebBrowserTest, APlayShowsNothingOfTheStreamItReplaced) {
  LoopbackHttpServer server(Media().folder);
  const std::string video = server.Url(std::string("/") + TestMedia::kHls);
  const std::string missing = server.Url("/missing.mp3");
  BrowserWindow window(pages_);
  window.Browser().SetPlayerSettings({.audioOutput = "null"});
  const auto play = [&](const std::string& address) {
    window.Browser().StartPlayer(address);
    window.Browser().Navigate(Page(PositionedPage(WmpObject("p", address))).string());
    return window.WaitForPlayers(1);
  };
  ASSERT_TRUE(play(video));
  ASSERT_TRUE(WaitUntil([&] { return window.Player().framesRendered > 3; }, 10s));
  ASSERT_TRUE(play(missing));
  ASSERT_TRUE(
      WaitUntil([&] { return window.Player().phase == platform::PlayerPhase::Failed; }, 10s));
  EXPECT_EQ(window.Player().errorText, "The stream was not found on the server (error 404).");
  EXPECT_EQ(window.Player().framesRendered, 0u);
  EXPECT_EQ(window.Player().video, platform::VideoSize{});
  window.Browser().Stop();
}

// A player the page puts in place of another takes its engine over: where
// it plays nothing (yet), the stream before it must not play on.
TEST_F(WebBrowserTest, TheStreamBeforeEndsWhereTheNextPlayerDoesNotPlayIt) {
  struct Case {
    const char* name;
    std::string replacement;
  };
  LoopbackHttpServer server(Media().folder);
  CountedStream counted(server, "/live.mp3");
  std::atomic<int>& open = counted.open;
  server.AddRoute("/silent.asx", SilentRoute());
  const std::string& live = counted.url;
  const Case cases[] = {
      {"no player", "<p>nothing</p>"},
      {"a player waiting for Play",
       WmpObject("q", server.Url("/other.mp3"),
                 R"(width="320" height="240"><param name="autostart" value="false")")},
      {"a player reading its list", WmpObject("q", server.Url("/silent.asx"))},
  };
  BrowserWindow window(pages_);
  window.Browser().SetPlayerSettings({.audioOutput = "null"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    window.Browser().StartPlayer(live);
    window.Browser().Navigate(Page(PositionedPage(WmpObject("p", live))).string());
    // The stream may play before its page is there to change.
    ASSERT_TRUE(WaitUntil(
        [&] {
          return window.Player().phase == platform::PlayerPhase::Playing && open == 1 &&
                 window.Browser().GetReadyState() == ReadyState::Complete;
        },
        10s));
    window.Evaluate("document.getElementById('p').outerHTML = '" + c.replacement + "'; 1");
    EXPECT_TRUE(WaitUntil([&] { return open == 0; }, 3s));
  }
  window.Browser().Stop();
}

// One engine serves every play; a page with two players gets a second,
// which goes with that page. No engine runs mpv's built-in scripts.
TEST_F(WebBrowserTest, PlaysShareTheKeptEngineAndASecondPlayerGetsItsOwn) {
  const auto threadsNamed = [](const std::string& name) {
    int count = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
      std::string comm = ReadFile(task.path() / "comm");
      while (!comm.empty() && (comm.back() == '\n' || comm.back() == ' ')) {
        comm.pop_back();
      }
      count += comm == name ? 1 : 0;
    }
    return count;
  };
  const auto cores = [&] { return threadsNamed("mpv/mpv core"); };
  LoopbackHttpServer server(Media().folder);
  server.AddRoute("/live.mp3", IcyMp3Route(Media().folder / TestMedia::kMp3, 8000, "Loop", "On"));
  const std::string live = server.Url("/live.mp3");
  BrowserWindow window(pages_);
  window.Browser().SetPlayerSettings({.audioOutput = "null"});
  EXPECT_EQ(cores(), 1);
  for (int play = 0; play < 3; ++play) {
    window.Browser().StartPlayer(live);
    ASSERT_TRUE(window.Load(Page(PositionedPage(WmpObject("p", live)))));
    ASSERT_TRUE(
        WaitUntil([&] { return window.Player().phase == platform::PlayerPhase::Playing; }, 10s));
    EXPECT_EQ(cores(), 1) << "play " << play;
  }
  ASSERT_TRUE(window.Load(Page(PositionedPage(WmpObject("p", live) + WmpObject("q", live)))));
  ASSERT_TRUE(window.WaitForPlayers(2));
  ASSERT_TRUE(WaitUntil(
      [&] {
        return window.Player(0).phase == platform::PlayerPhase::Playing &&
               window.Player(1).phase == platform::PlayerPhase::Playing;
      },
      10s));
  EXPECT_EQ(cores(), 2);
  ASSERT_TRUE(window.Load(Page(PositionedPage(WmpObject("p", live)))));
  // The second engine stopped with its page; once idle, the next stop ends it.
  EXPECT_TRUE(WaitUntil(
      [&] {
        window.Browser().Stop();
        return cores() == 1;
      },
      5s));
  EXPECT_EQ(threadsNamed("mpv/lua script"), 0);
}

}  // namespace
}  // namespace telvanta::test
