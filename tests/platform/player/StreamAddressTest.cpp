// Which addresses the engine reads itself and which go through our resolver,
// and how mms:// is tried.

#include <gtest/gtest.h>

#include "platform/player/StreamAddress.h"

namespace telvanta::platform {
namespace {

TEST(PlaylistKindOf, TellsListsFromMediaByTheirEnding) {
  struct Case {
    const char* address;
    PlaylistKind kind;
  };
  const Case cases[] = {
      {"http://h/live.asx", PlaylistKind::Asx},
      {"http://h/LIVE.ASX?id=3", PlaylistKind::Asx},
      {"http://h/a.wvx#x", PlaylistKind::Asx},
      {"http://h/a.wax", PlaylistKind::Asx},
      {"http://h/a.wmx", PlaylistKind::Asx},
      {"http://h/a.ram", PlaylistKind::Ram},
      {"http://h/a.rpm", PlaylistKind::Ram},
      {"http://h/a.smil", PlaylistKind::Smil},
      {"http://h/a.smi", PlaylistKind::Smil},
      {"http://h/a.xspf", PlaylistKind::Xspf},
      {"http://h/a.pls", PlaylistKind::Pls},
      {"http://h/a.m3u", PlaylistKind::M3u},
      {"http://h/index.m3u8", PlaylistKind::M3u},
      {"http://h/a.wmv", PlaylistKind::None},
      {"http://h/dir.asx/stream", PlaylistKind::None},
      {"http://h/stream?format=a.asx", PlaylistKind::None},
      {"mms://h/live", PlaylistKind::None},
      {"", PlaylistKind::None},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PlaylistKindOf(c.address), c.kind) << c.address;
  }
}

TEST(NeedsMetafileResolver, TheEngineReadsM3uAndPlsItself) {
  EXPECT_FALSE(NeedsMetafileResolver(PlaylistKind::None));
  EXPECT_FALSE(NeedsMetafileResolver(PlaylistKind::M3u));
  EXPECT_FALSE(NeedsMetafileResolver(PlaylistKind::Pls));
  EXPECT_TRUE(NeedsMetafileResolver(PlaylistKind::Asx));
  EXPECT_TRUE(NeedsMetafileResolver(PlaylistKind::Ram));
  EXPECT_TRUE(NeedsMetafileResolver(PlaylistKind::Smil));
  EXPECT_TRUE(NeedsMetafileResolver(PlaylistKind::Xspf));
}

TEST(TransportAttempts, MmsIsTriedOverHttpThenTcp) {
  EXPECT_EQ(TransportAttempts("mms://h:1755/live"),
            (std::vector<std::string>{"mmsh://h:1755/live", "mmst://h:1755/live"}));
  EXPECT_EQ(TransportAttempts("MMS://h/live"),
            (std::vector<std::string>{"mmsh://h/live", "mmst://h/live"}));
  EXPECT_EQ(TransportAttempts("mmsh://h/live"), (std::vector<std::string>{"mmsh://h/live"}));
  EXPECT_EQ(TransportAttempts("http://h/mms"), (std::vector<std::string>{"http://h/mms"}));
  // Station lists hold "HTTP://"; the engine knows only lower case.
  EXPECT_EQ(TransportAttempts("HTTP://h/Live.MP3"),
            (std::vector<std::string>{"http://h/Live.MP3"}));
}

TEST(NormalizeScheme, LowersTheSchemeOnly) {
  EXPECT_EQ(NormalizeScheme("RTSP://Host/Path"), "rtsp://Host/Path");
  EXPECT_EQ(NormalizeScheme("/Local/File.MP3"), "/Local/File.MP3");
  EXPECT_EQ(NormalizeScheme(""), "");
}

TEST(IsPlayableAddress, OpensStreamsAndFilesButNoDevicesOrDescriptors) {
  for (const char* ok :
       {"http://h/a", "HTTPS://h/a", "mms://h/a", "mmsh://h/a", "rtsp://h/a", "rtmp://h/a",
        "udp://239.0.0.1:1234", "file:///tmp/a.mp3", "/tmp/a.mp3", "relative.mp3"}) {
    EXPECT_TRUE(IsPlayableAddress(ok)) << ok;
  }
  for (const char* bad : {"", "av://v4l2:/dev/video0", "lavf://x11grab", "edl://a;b", "fd://0",
                          "memory://secret", "javascript://x", "://nothing"}) {
    EXPECT_FALSE(IsPlayableAddress(bad)) << bad;
  }
}

TEST(HostOf, FindsTheHostForMessages) {
  struct Case {
    const char* address;
    const char* host;
  };
  const Case cases[] = {
      {"http://radio.example.org:8000/live", "radio.example.org"},
      {"rtsp://user:pw@cam.example.org/x", "cam.example.org"},
      {"http://[::1]:8080/a", "::1"},
      {"mmsh://127.0.0.1/a?b", "127.0.0.1"},
      {"/local/file.mp3", ""},
      {"file:///local/file.mp3", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HostOf(c.address), c.host) << c.address;
  }
}

TEST(IsNetworkAddress, LocalFilesHaveNoTimeOut) {
  EXPECT_TRUE(IsNetworkAddress("http://h/a"));
  EXPECT_TRUE(IsNetworkAddress("rtsp://h/a"));
  EXPECT_FALSE(IsNetworkAddress("file:///a.mp3"));
  EXPECT_FALSE(IsNetworkAddress("/a.mp3"));
}

}  // namespace
}  // namespace telvanta::platform
