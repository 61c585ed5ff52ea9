// Reading the page's player reports: the JSON comes from a page, so it is
// untrusted; what reaches the host must be well-formed.

#include <gtest/gtest.h>

#include "platform/player/PlayerElement.h"

namespace telvanta::platform {
namespace {

constexpr const char* kOnePlayer = R"({"title":"Radio One","players":[
  {"id":3,"type":"application/x-ms-wmp","classid":"","data":"mms://example.org/live",
   "href":"mms://example.org/live","width":"100%","height":"100%","title":"",
   "params":{"AutoStart":"true","center":"1"},
   "rect":{"x":8,"y":10.5,"w":640,"h":480},"visible":true}]})";

TEST(ParsePageReport, ReadsEveryFieldOfAWindowsMediaElement) {
  const auto report = ParsePageReport(kOnePlayer);
  ASSERT_TRUE(report);
  EXPECT_EQ(report->title, "Radio One");
  ASSERT_EQ(report->players.size(), 1u);
  const PlayerElement& player = report->players[0];
  EXPECT_EQ(player.id, 3);
  EXPECT_EQ(player.kind, PlayerKind::WindowsMedia);
  EXPECT_EQ(player.address, "mms://example.org/live");
  EXPECT_EQ(player.widthAttr, "100%");
  EXPECT_TRUE(player.HasSizeAttributes());
  EXPECT_EQ(player.box, (CssRect{8, 10.5, 640, 480}));
  EXPECT_EQ(player.Param("autostart"), "true");
  EXPECT_EQ(player.Param("CENTER"), "1");
  EXPECT_TRUE(player.visible);
  EXPECT_FALSE(player.AutoStartOff());
}

TEST(ParsePageReport, RejectsTextThatIsNoReport) {
  for (const char* text : {"", "not json", "[]", "{\"players\":3}", "{\"title\":\"x\"}", "null"}) {
    EXPECT_FALSE(ParsePageReport(text)) << text;
  }
}

TEST(ParsePageReport, SkipsMalformedEntriesButKeepsTheGoodOnes) {
  const auto report = ParsePageReport(R"({"players":[
    {"id":1,"type":"text/html","rect":{"x":0,"y":0,"w":1,"h":1}},
    {"id":2,"type":"application/x-ms-wmp","rect":{"x":0,"y":0}},
    {"id":3,"type":"application/x-ms-wmp","rect":{"x":0,"y":0,"w":-5,"h":1}},
    {"id":4,"type":"application/x-ms-wmp","rect":{"x":"0","y":0,"w":1,"h":1}},
    {"id":5,"type":"application/x-ms-wmp","rect":{"x":1e300,"y":0,"w":1,"h":1}},
    {"type":"application/x-ms-wmp","rect":{"x":0,"y":0,"w":1,"h":1}},
    "string entry", 7, null,
    {"id":8,"type":"audio/x-pn-realaudio-plugin","data":"rtsp://h/s","rect":{"x":0,"y":0,"w":2,"h":3}}
  ]})");
  ASSERT_TRUE(report);
  ASSERT_EQ(report->players.size(), 1u);
  EXPECT_EQ(report->players[0].id, 8);
  EXPECT_EQ(report->players[0].kind, PlayerKind::RealPlayer);
}

TEST(ParsePageReport, DuplicateIdsHostOnePlayer) {
  const auto report = ParsePageReport(R"({"players":[
    {"id":1,"type":"application/x-ms-wmp","data":"a","rect":{"x":0,"y":0,"w":1,"h":1}},
    {"id":1,"type":"application/x-ms-wmp","data":"b","rect":{"x":0,"y":0,"w":1,"h":1}}]})");
  ASSERT_TRUE(report);
  ASSERT_EQ(report->players.size(), 1u);
}

TEST(ParsePageReport, AHostilePageCannotAskForThousandsOfPlayers) {
  std::string json = R"({"players":[)";
  for (int i = 0; i < 5000; ++i) {
    json += (i ? "," : "") + std::string(R"({"id":)") + std::to_string(i + 1) +
            R"(,"type":"application/x-ms-wmp","rect":{"x":0,"y":0,"w":1,"h":1}})";
  }
  json += "]}";
  const auto report = ParsePageReport(json);
  ASSERT_TRUE(report);
  EXPECT_LE(report->players.size(), 32u);
}

TEST(ParsePageReport, AnOversizedReportIsRefusedWhole) {
  const std::string json = R"({"players":[],"title":")" + std::string(5 << 20, 'x') + "\"}";
  EXPECT_FALSE(ParsePageReport(json));
}

TEST(ParsePageReport, OldStylePagesNameTheAddressInAParam) {
  const auto report = ParsePageReport(R"({"players":[{"id":1,"type":"",
    "classid":"CLSID:6BF52A52-394A-11d3-B153-00C04F79FAA6","data":"","href":"",
    "params":{"URL":"http://example.org/a.asx"},"rect":{"x":0,"y":0,"w":1,"h":1}}]})");
  ASSERT_TRUE(report);
  ASSERT_EQ(report->players.size(), 1u);
  EXPECT_EQ(report->players[0].kind, PlayerKind::WindowsMedia);
  EXPECT_EQ(report->players[0].address, "http://example.org/a.asx");
}

TEST(ParsePageReport, HiddenElementsAndAutostartOffAreKept) {
  const auto report = ParsePageReport(R"({"players":[{"id":1,"type":"video/x-ms-asf",
    "params":{"autostart":"False"},"visible":false,"rect":{"x":0,"y":0,"w":0,"h":0}}]})");
  ASSERT_TRUE(report);
  ASSERT_EQ(report->players.size(), 1u);
  EXPECT_FALSE(report->players[0].visible);
  EXPECT_TRUE(report->players[0].AutoStartOff());
}

TEST(PlayerKindFor, KnowsTheTypesOfBothPlugIns) {
  struct Case {
    const char* type;
    const char* classId;
    std::optional<PlayerKind> kind;
  };
  const Case cases[] = {
      {"application/x-ms-wmp", "", PlayerKind::WindowsMedia},
      {" Application/X-MS-WMP ", "", PlayerKind::WindowsMedia},
      {"video/x-ms-asf", "", PlayerKind::WindowsMedia},
      {"application/x-mplayer2", "", PlayerKind::WindowsMedia},
      {"audio/x-pn-realaudio-plugin", "", PlayerKind::RealPlayer},
      {"audio/x-pn-realaudio", "", PlayerKind::RealPlayer},
      {"", "clsid:CFCDAA03-8BE4-11cf-B84B-0020AFBBCCFA", PlayerKind::RealPlayer},
      {"", "22D6F312-B0F6-11D0-94AB-0080C74C7E95", PlayerKind::WindowsMedia},
      {"video/mp4", "", std::nullopt},
      {"application/x-shockwave-flash", "", std::nullopt},
      {"", "", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PlayerKindFor(c.type, c.classId), c.kind) << c.type << " " << c.classId;
  }
}

TEST(ChooseMediaAddress, KeepsAbsoluteAddressesAsWrittenAndResolvesRelativeOnes) {
  struct Case {
    const char* written;
    const char* resolved;
    const char* expected;
  };
  const Case cases[] = {
      // The page's resolver would escape or mangle these.
      {"mms://host/live stream", "mms://host/live%20stream", "mms://host/live stream"},
      {"rtsp://host:554/a.rm", "rtsp://host:554/a.rm", "rtsp://host:554/a.rm"},
      {"  http://host/a.asx  ", "http://host/a.asx", "http://host/a.asx"},
      {"/home/user/song.mp3", "file:///home/user/song.mp3", "/home/user/song.mp3"},
      {"clip.wmv", "file:///tmp/Data/clip.wmv", "file:///tmp/Data/clip.wmv"},
      // A drive letter is not a scheme.
      {"C:\\Music\\a.wma", "file:///tmp/C:%5CMusic%5Ca.wma", "file:///tmp/C:%5CMusic%5Ca.wma"},
      {"", "file:///tmp/", ""},
      {"relative.asx", "", "relative.asx"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChooseMediaAddress(c.written, c.resolved), c.expected) << c.written;
  }
}

}  // namespace
}  // namespace telvanta::platform
