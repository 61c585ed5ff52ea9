#include "playback/KeyedFileStream.h"
#include "playback/PlayerPage.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace telvanta {
namespace {

namespace fs = std::filesystem;

void WriteTemplate(const fs::path& file, const std::string& text) {
  KeyedFileStream out(file.string(), FileMode::Create);
  out.Key = TemplateKey;
  out.Write(text.data(), text.size());
}

std::string ReadPlain(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// What a browser hands the player: the attribute value with entities decoded.
std::string DecodeAttribute(std::string text) {
  const std::vector<std::pair<std::string, std::string>> entities = {
      {"&lt;", "<"},   {"&gt;", ">"},   {"&quot;", "\""}, {"&#39;", "'"},
      {"&#13;", "\r"}, {"&#10;", "\n"}, {"&amp;", "&"}};
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    bool replaced = false;
    for (const auto& [entity, plain] : entities) {
      if (text.compare(i, entity.size(), entity) == 0) {
        out += plain;
        i += entity.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) {
      out += text[i++];
    }
  }
  return out;
}

class PlayerPageTest : public ::testing::Test {
 protected:
  PlayerPageTest() {
    WriteTemplate(data / "MP.dll", "MP [%Nivora_URL%] [%WidthHeight%] [%CENTER%]\r\n");
    WriteTemplate(data / "RP.dll", "RP [%Nivora_URL%] [%WidthHeight%] [%CENTER%]\r\n");
    WriteTemplate(data / "WB.dll", "WB [%Nivora_URL%] [%WidthHeight%] [%CENTER%]\r\n");
  }

  test::TempFolder folder;
  fs::path data = folder.Path();
  PlayerPageWriter writer{data, data};
};

TEST_F(PlayerPageTest, StartsWithNoPageAndNoClass) {
  EXPECT_EQ(writer.PageCounter(), 0);
  EXPECT_EQ(writer.PageFileName(), "");
  EXPECT_EQ(StreamClassText(writer.CurrentStreamClass()), "");
  EXPECT_EQ(writer.DataFolder(), data);
}

TEST_F(PlayerPageTest, EachPlayDeletesThePreviousPageAndWritesTheNextNumber) {
  std::ofstream(data / "~tmp0.htm") << "left over";
  const fs::path first = writer.WritePlayerPage("mms://host/live", "0");
  EXPECT_EQ(first, data / "~tmp1.htm");
  EXPECT_TRUE(first.is_absolute());
  EXPECT_FALSE(fs::exists(data / "~tmp0.htm"));
  EXPECT_TRUE(fs::exists(first));
  EXPECT_EQ(writer.PageCounter(), 1);
  EXPECT_EQ(writer.PageFileName(), "~tmp1.htm");
  EXPECT_EQ(StreamClassText(writer.CurrentStreamClass()), "MMS");

  const fs::path second = writer.WritePlayerPage("http://host/cam.jpg", "0");
  EXPECT_EQ(second, data / "~tmp2.htm");
  EXPECT_FALSE(fs::exists(first));
  EXPECT_EQ(writer.PageFileName(), "~tmp2.htm");
  EXPECT_EQ(StreamClassText(writer.CurrentStreamClass()), "WEBCAM");
  EXPECT_EQ(ReadPlain(second), "WB [http://host/cam.jpg] [%WidthHeight%] [%CENTER%]\r\n");
}

TEST_F(PlayerPageTest, LeavesNoTemporaryFileBehind) {
  writer.WritePlayerPage("rtsp://host/a", "1");
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(data)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"MP.dll", "RP.dll", "WB.dll", "~tmp1.htm"}));
}

struct PlaceholderCase {
  std::string url;
  std::string stretch;
  std::string page;
};

// Only the class's own placeholder is filled, and only Stretch "1" exactly
// asks for the fitted form.
TEST_F(PlayerPageTest, FillsTheClassPlaceholderFromStretch) {
  const std::vector<PlaceholderCase> cases = {
      {"mms://h/a", "1", R"(MP [mms://h/a] [width="100%" height="100%"] [%CENTER%])"},
      {"mms://h/a", "0", "MP [mms://h/a] [ ] [%CENTER%]"},
      {"mms://h/a", "", "MP [mms://h/a] [ ] [%CENTER%]"},
      {"mms://h/a", "1 ", "MP [mms://h/a] [ ] [%CENTER%]"},
      {"mms://h/a", "01", "MP [mms://h/a] [ ] [%CENTER%]"},
      {"rtsp://h/a", "1", R"(RP [rtsp://h/a] [%WidthHeight%] [value="0"])"},
      {"rtsp://h/a", "0", R"(RP [rtsp://h/a] [%WidthHeight%] [value="1"])"},
      {"rtsp://h/a", "", R"(RP [rtsp://h/a] [%WidthHeight%] [value="1"])"},
      {"rtsp://h/a", "yes", R"(RP [rtsp://h/a] [%WidthHeight%] [value="1"])"},
      {"http://h/a.jpg", "1", "WB [http://h/a.jpg] [%WidthHeight%] [%CENTER%]"},
      {"http://h/a.jpg", "0", "WB [http://h/a.jpg] [%WidthHeight%] [%CENTER%]"},
  };
  for (const PlaceholderCase& c : cases) {
    SCOPED_TRACE(c.url + " stretch \"" + c.stretch + "\"");
    EXPECT_EQ(ReadPlain(writer.WritePlayerPage(c.url, c.stretch)), c.page + "\r\n");
  }
}

TEST_F(PlayerPageTest, OtherLetterCaseAndPlaceholdersBrokenOverLinesStay) {
  WriteTemplate(data / "MP.dll",
                "%nivora_url% %NIVORA_URL% %widthheight%\n%Nivora_\nURL% %Width\r\nHeight%\n"
                "%Nivora_URL%\n");
  EXPECT_EQ(ReadPlain(writer.WritePlayerPage("mms://h/a", "1")),
            "%nivora_url% %NIVORA_URL% %widthheight%\r\n%Nivora_\r\nURL% %Width\r\nHeight%\r\n"
            "mms://h/a\r\n");
}

TEST_F(PlayerPageTest, UrlTwiceOnALineIsInsertedTwice) {
  WriteTemplate(data / "RP.dll", "a=%Nivora_URL% b=%Nivora_URL%%Nivora_URL%\n");
  EXPECT_EQ(ReadPlain(writer.WritePlayerPage("pnm://h/r", "0")),
            "a=pnm://h/r b=pnm://h/rpnm://h/r\r\n");
}

TEST_F(PlayerPageTest, UrlHoldingPlaceholderTextIsNotRewritten) {
  const std::string url = "http://h/%WidthHeight%/%Nivora_URL%.asx";
  EXPECT_EQ(ReadPlain(writer.WritePlayerPage(url, "1")),
            "MP [" + url +
                R"(] [width="100%" height="100%"] [%CENTER%])"
                "\r\n");
}

// A page is loaded from a local file: an address must not be able to close
// the attribute and add markup or script of its own.
TEST_F(PlayerPageTest, HostileAddressesCannotInjectMarkup) {
  WriteTemplate(data / "MP.dll",
                "<object type=\"application/x-ms-wmp\" data=\"%Nivora_URL%\"></object>\n");
  WriteTemplate(data / "WB.dll", "<img src='%Nivora_URL%'>\n");
  const std::vector<std::string> hostile = {
      R"(http://x/"><script>alert(1)</script>.asx)",
      R"(mms://x/' onerror='alert(1))",
      "mms://x/a&amp;b<!--",
      "http://x/\"\r\n<script>alert(1)</script>.jpg",
  };
  for (const std::string& url : hostile) {
    SCOPED_TRACE(url);
    const std::string page = ReadPlain(writer.WritePlayerPage(url, "0"));
    EXPECT_EQ(page.find("<script"), std::string::npos);
    EXPECT_EQ(page.find("<!--"), std::string::npos);
    // The only quotes and angle brackets left are the template's own.
    const bool webcam = StreamClassText(writer.CurrentStreamClass()) == "WEBCAM";
    const std::string opening = webcam ? "src='" : "data=\"";
    const std::size_t open = page.find(opening) + opening.size() - 1;
    const std::size_t close = page.find(page[open], open + 1);
    ASSERT_NE(close, std::string::npos);
    EXPECT_EQ(page.find_first_of("<>\"'", open + 1), close);
    EXPECT_EQ(DecodeAttribute(page.substr(open + 1, close - open - 1)), url);
    EXPECT_EQ(page.find('\n'), page.size() - 1);
  }
}

TEST(EscapeHtmlAttribute, EscapesWhatCanEndTheAttributeOrStartMarkup) {
  EXPECT_EQ(EscapeHtmlAttribute(R"(a&b<c>d"e'f)"), "a&amp;b&lt;c&gt;d&quot;e&#39;f");
  EXPECT_EQ(EscapeHtmlAttribute("\r\n"), "&#13;&#10;");
  EXPECT_EQ(EscapeHtmlAttribute("http://host:8080/p?x=1;y=%20#frag \xe9"),
            "http://host:8080/p?x=1;y=%20#frag \xe9");
  EXPECT_EQ(EscapeHtmlAttribute(""), "");
}

TEST_F(PlayerPageTest, MissingTemplateFailsAfterCountingAndSettingTheClass) {
  writer.WritePlayerPage("mms://h/a", "0");
  fs::remove(data / "RP.dll");
  try {
    writer.WritePlayerPage("rtsp://h/a", "0");
    FAIL() << "played without a template";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()),
              "Cannot open file \"" + (data / "RP.dll").string() + "\". No such file or directory");
  }
  EXPECT_FALSE(fs::exists(data / "~tmp1.htm"));
  EXPECT_FALSE(fs::exists(data / "~tmp2.htm"));
  EXPECT_EQ(writer.PageCounter(), 2);
  EXPECT_EQ(writer.PageFileName(), "~tmp2.htm");
  EXPECT_EQ(StreamClassText(writer.CurrentStreamClass()), "RTSP");

  // The next play starts afresh, one number higher.
  EXPECT_EQ(writer.WritePlayerPage("http://h/a.jpg", "0"), data / "~tmp3.htm");
  EXPECT_EQ(StreamClassText(writer.CurrentStreamClass()), "WEBCAM");
}

TEST_F(PlayerPageTest, RefusedAddressFailsWithItsOwnErrorAndKeepsTheClass) {
  writer.WritePlayerPage("rtsp://h/a", "0");
  try {
    writer.WritePlayerPage("gopher://h/song.mp3", "0");
    FAIL() << "played an unknown stream type";
  } catch (const UnknownStreamClassError& error) {
    EXPECT_EQ(std::string(error.what()),
              "The address is not a known stream type:\ngopher://h/song.mp3");
    EXPECT_EQ(error.Url(), "gopher://h/song.mp3");
  }
  EXPECT_FALSE(fs::exists(data / "~tmp1.htm"));
  EXPECT_FALSE(fs::exists(data / "~tmp2.htm"));
  EXPECT_EQ(writer.PageCounter(), 2);
  EXPECT_EQ(writer.PageFileName(), "~tmp2.htm");
  EXPECT_EQ(StreamClassText(writer.CurrentStreamClass()), "RTSP");
}

// Files and addresses of no class play on the Windows Media page, unless the
// player refuses them.
TEST_F(PlayerPageTest, AddressOfNoClassPlaysOnTheMediaPageUnlessRefused) {
  const struct {
    const char* url;
    bool plays;
  } cases[] = {
      {"/home/user/Music/song.mp3", true}, {"ftp://h/x.mp3", true},
      {"HTTP://h/clip.avi", true},         {"gopher://h/x.mp3", false},
      {"av://v4l2:/dev/video0", false},
  };
  for (const auto& c : cases) {
    if (c.plays) {
      EXPECT_EQ(ReadPlain(writer.WritePlayerPage(c.url, "0")).rfind("MP [", 0), 0U) << c.url;
      EXPECT_EQ(StreamClassText(writer.CurrentStreamClass()), "MMS") << c.url;
    } else {
      EXPECT_THROW(writer.WritePlayerPage(c.url, "0"), UnknownStreamClassError) << c.url;
    }
  }
}

TEST_F(PlayerPageTest, PageThatCannotBeCreatedNamesThePage) {
  // A folder in the page's place stops the write even for root.
  fs::create_directories(data / "~tmp1.htm" / "inside");
  try {
    writer.WritePlayerPage("mms://h/a", "0");
    FAIL() << "wrote over a folder";
  } catch (const Error& error) {
    const std::string expected = "Cannot create file \"" + (data / "~tmp1.htm").string() + "\". ";
    EXPECT_EQ(std::string(error.what()).substr(0, expected.size()), expected);
  }
  EXPECT_TRUE(fs::is_directory(data / "~tmp1.htm" / "inside"));
  EXPECT_EQ(std::distance(fs::directory_iterator(data), fs::directory_iterator()), 4);
  EXPECT_EQ(StreamClassText(writer.CurrentStreamClass()), "MMS");
}

TEST_F(PlayerPageTest, ReadOnlyDataFolderFailsWithTheCreateMessage) {
  if (::geteuid() == 0) {
    GTEST_SKIP() << "root writes into read-only folders";
  }
  ASSERT_EQ(::chmod(data.c_str(), 0555), 0);
  try {
    writer.WritePlayerPage("mms://h/a", "0");
    ADD_FAILURE() << "wrote into a read-only folder";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()),
              "Cannot create file \"" + (data / "~tmp1.htm").string() + "\". Permission denied");
  }
  ::chmod(data.c_str(), 0755);
}

TEST_F(PlayerPageTest, MissingDataFolderFailsOnTheTemplate) {
  PlayerPageWriter nowhere(data / "MP.dll" / "Data", data);
  EXPECT_THROW(nowhere.WritePlayerPage("mms://h/a", "0"), Error);
  EXPECT_EQ(nowhere.PageCounter(), 1);
}

TEST_F(PlayerPageTest, DeleteCurrentPageRemovesTheNewestPageAndIgnoresAMissingOne) {
  std::ofstream(data / "~tmp0.htm") << "x";
  writer.DeleteCurrentPage();
  EXPECT_FALSE(fs::exists(data / "~tmp0.htm"));
  const fs::path page = writer.WritePlayerPage("http://h/a.jpeg", "0");
  writer.DeleteCurrentPage();
  EXPECT_FALSE(fs::exists(page));
  writer.DeleteCurrentPage();
  EXPECT_TRUE(fs::exists(data / "WB.dll"));
}

struct LineCase {
  std::string templateText;
  std::string page;
};

TEST(BuildPlayerPage, EveryLineBreakBecomesCrLf) {
  const std::vector<LineCase> cases = {
      {"", ""},
      {"one", "one\r\n"},
      {"a\rb\nc\r\nd", "a\r\nb\r\nc\r\nd\r\n"},
      {"a\n\nb\n", "a\r\n\r\nb\r\n"},
      {"a\r\r\nb", "a\r\n\r\nb\r\n"},
      {"a\n\rb", "a\r\n\r\nb\r\n"},
      {"\r\n", "\r\n"},
      {"8-bit \xe9\xff\x80 text\n", "8-bit \xe9\xff\x80 text\r\n"},
  };
  for (const LineCase& c : cases) {
    EXPECT_EQ(BuildPlayerPage(c.templateText, StreamClass::Webcam, "u", "0"), c.page)
        << ::testing::PrintToString(c.templateText);
  }
}

TEST_F(PlayerPageTest, PageOnDiskHasCrLfBreaksFromAnyTemplate) {
  WriteTemplate(data / "WB.dll", "<html>\n<img src=\"%Nivora_URL%\">\r</html>");
  EXPECT_EQ(ReadPlain(writer.WritePlayerPage("http://h/a.jpg", "0")),
            "<html>\r\n<img src=\"http://h/a.jpg\">\r\n</html>\r\n");
}

}  // namespace
}  // namespace telvanta

namespace telvanta {
namespace {

// Pages go to the user's page folder, made on the first play; the program's
// folder is only read.
TEST_F(PlayerPageTest, PagesGoToTheirOwnFolderAndTheTemplatesOnlyAreRead) {
  const fs::path pages = data / "run" / "telvanta";
  PlayerPageWriter user(data, pages);
  const auto before = std::distance(fs::directory_iterator(data), fs::directory_iterator());
  EXPECT_EQ(user.WritePlayerPage("mms://h/a", "0"), pages / "~tmp1.htm");
  EXPECT_EQ(fs::status(pages).permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_EQ(std::distance(fs::directory_iterator(data), fs::directory_iterator()), before + 1);
  user.DeleteCurrentPage();
  EXPECT_TRUE(fs::is_empty(pages));
  // A page folder that can't be made names the page.
  PlayerPageWriter blocked(data, data / "MP.dll" / "pages");
  try {
    blocked.WritePlayerPage("mms://h/a", "0");
    ADD_FAILURE() << "wrote below a file";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create file \"" +
                                             (data / "MP.dll" / "pages" / "~tmp1.htm").string() +
                                             "\". Not a directory");
  }
}

// A template cut short, emptied, overwritten or never enciphered plays nothing.
TEST_F(PlayerPageTest, DamagedTemplateIsReportedAndNoPageIsWritten) {
  const std::string whole = ReadPlain(data / "MP.dll");
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"cut short", whole.substr(0, 12)},
      {"empty", ""},
      {"random", std::string("\x8f\x13\xfe\x00\x42\x99garbage\x01\x02", 15)},
      {"plain text", "MP [%Nivora_URL%]\r\n"},
  };
  for (const auto& c : cases) {
    std::ofstream(data / "MP.dll", std::ios::binary | std::ios::trunc) << c.bytes;
    try {
      writer.WritePlayerPage("mms://h/a", "0");
      ADD_FAILURE() << c.what;
    } catch (const Error& error) {
      EXPECT_EQ(std::string(error.what()), DamagedTemplateMessage(data / "MP.dll")) << c.what;
    }
    EXPECT_FALSE(fs::exists(data / writer.PageFileName())) << c.what;
  }
  EXPECT_EQ(DamagedTemplateMessage("/usr/share/telvanta/Data/MP.dll"),
            "The player template /usr/share/telvanta/Data/MP.dll is damaged. Please reinstall "
            "Telvanta.");
}

}  // namespace
}  // namespace telvanta
