#include "common/StreamClass.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace telvanta {
namespace {

struct ClassCase {
  std::string url;
  std::string expected;
};

TEST(ClassifyUrl, FollowsTheRuleOrderSchemeThenEndingThenHttp) {
  const std::vector<ClassCase> cases = {
      // schemes, any letter case, decide before any ending
      {"mms://host/live", "MMS"},
      {"MMSH://host/live", "MMS"},
      {"mmst://host/live", "MMS"},
      {"rtsp://host/clip.asf", "RTSP"},
      {"mms://host/clip.ram", "MMS"},
      {"pnm://host/radio", "RTSP"},
      {"PnM://host/cam.jpg", "RTSP"},
      {"mms", "MMS"},
      {"rtsp", "RTSP"},
      {"rts", ""},
      // endings before the http prefix
      {"http://host/cam/image.jpg", "WEBCAM"},
      {"http://host/snap.JPEG", "WEBCAM"},
      {"http://host/playlist.asx", "MMS"},
      {"http://host/live.ram", "RTSP"},
      {"http://host/show.smil", "RTSP"},
      {"http://host/show.smi", "RTSP"},
      {"http://host/list.ramx", "RTSP"},
      {"http://host/clip.rpm", "RTSP"},
      {"http://host/radio.pls", "RTSP"},
      {"http://host/a.wmx", "MMS"},
      {"http://host/a.wvx", "MMS"},
      {"http://host/a.asf", "MMS"},
      // the ending is the text's tail, not a file name's extension
      {"http://host/live.ram?id=7", "MMS"},
      {"http://host/form", "RTSP"},
      {"http://host/a.asx ", "MMS"},
      {"https://host/stream", "MMS"},
      {"http://host/page.html", "MMS"},
      {"HTTP", "MMS"},
      {"htt", ""},
      // local files
      {"C:\\Video\\Clip.WMV", "MMS"},
      {"C:\\Video\\clip.rm", "RTSP"},
      {"/home/user/Video/clip.wmv", "MMS"},
      {"C:\\Music\\song.mp3", ""},
      {"C:\\Video\\movie.avi", ""},
      {"C:\\Music\\track.wma", ""},
      {"C:\\Music\\tune.ra", ""},
      // nothing known
      {"ftp://host/file.mp3", ""},
      {"host/tv", ""},
      {"", ""},
      {"rm", "RTSP"},
      {"m", ""},
      // only a to z are folded: other bytes never match a code
      {"http://host/a.\xe1sx", "MMS"},
      {"\xedms://host/live", ""},
  };
  for (const ClassCase& c : cases) {
    EXPECT_EQ(ClassifyUrl(c.url), c.expected) << "url: " << c.url;
  }
}

TEST(ClassifyUrl, IgnoresTheGlobalLocale) {
  const std::string saved = std::setlocale(LC_CTYPE, nullptr);
  std::setlocale(LC_CTYPE, "C.UTF-8");
  EXPECT_EQ(ClassifyUrl("http://host/clip.Jpg"), "WEBCAM");
  EXPECT_EQ(ClassifyUrl("\xc3\xa9.rm"), "RTSP");
  std::setlocale(LC_CTYPE, saved.c_str());
}

}  // namespace
}  // namespace telvanta
