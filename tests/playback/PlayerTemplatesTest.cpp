// The installed templates: deciphered as the player reads them, they give
// back their HTML sources, and they carry what the player page needs.

#include "playback/KeyedFileStream.h"
#include "playback/PlayerPage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace telvanta {
namespace {

namespace fs = std::filesystem;

std::string ReadSource(const std::string& name) {
  std::ifstream in(fs::path(TELVANTA_TEMPLATE_SOURCE_DIR) / (name + ".html"), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Decipher(const std::string& name) {
  KeyedFileStream stream((fs::path(TELVANTA_PROGRAM_DIR) / "Data" / (name + ".dll")).string(),
                         FileMode::Read);
  stream.Key = TemplateKey;
  std::string text(static_cast<std::size_t>(stream.Size()), '\0');
  EXPECT_EQ(stream.Read(text.data(), text.size()), text.size());
  return text;
}

TEST(PlayerTemplates, BuiltTemplatesDecipherToTheirSources) {
  for (const std::string name : {"MP", "RP", "WB"}) {
    SCOPED_TRACE(name);
    const std::string source = ReadSource(name);
    ASSERT_FALSE(source.empty());
    EXPECT_EQ(Decipher(name), source);
  }
}

TEST(PlayerTemplates, SourcesAreAsciiWithEachPlaceholderOnOneLine) {
  for (const std::string name : {"MP", "RP", "WB"}) {
    SCOPED_TRACE(name);
    const std::string source = ReadSource(name);
    for (const char c : source) {
      ASSERT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7f)) << "byte " << int(c);
    }
    EXPECT_NE(source.find("%Nivora_URL%"), std::string::npos);
  }
  EXPECT_NE(
      ReadSource("MP").find(
          R"(<object type="application/x-ms-wmp" data="%Nivora_URL%" %WidthHeight%></object>)"),
      std::string::npos);
  EXPECT_NE(
      ReadSource("RP").find(R"(<object type="audio/x-pn-realaudio-plugin" data="%Nivora_URL%">)"
                            R"(<param name="center" %CENTER%></object>)"),
      std::string::npos);
  EXPECT_NE(ReadSource("WB").find(R"(src="%Nivora_URL%")"), std::string::npos);
}

// The webcam script must take the address from the element, never from a
// script literal, where attribute escaping would not protect it.
TEST(PlayerTemplates, WebcamScriptDoesNotEmbedTheAddress) {
  const std::string source = ReadSource("WB");
  const std::size_t script = source.find("<script>");
  ASSERT_NE(script, std::string::npos);
  EXPECT_EQ(source.find("%Nivora_URL%", script), std::string::npos);
  EXPECT_NE(source.find("30000"), std::string::npos);
}

TEST(PlayerTemplates, FilledPagesFromTheRealTemplates) {
  const std::string mp =
      BuildPlayerPage(Decipher("MP"), StreamClass::Mms, "mms://h/a?x=1&y=2", "1");
  EXPECT_NE(mp.find(R"(data="mms://h/a?x=1&amp;y=2" width="100%" height="100%")"),
            std::string::npos);
  const std::string rp = BuildPlayerPage(Decipher("RP"), StreamClass::Rtsp, "rtsp://h/a", "0");
  EXPECT_NE(rp.find(R"(<param name="center" value="1">)"), std::string::npos);
  const std::string wb =
      BuildPlayerPage(Decipher("WB"), StreamClass::Webcam, "http://h/c.jpg", "1");
  EXPECT_NE(wb.find(R"(src="http://h/c.jpg")"), std::string::npos);
  for (const std::string& page : {mp, rp, wb}) {
    for (const char* placeholder : {"%Nivora_URL%", "%WidthHeight%", "%CENTER%"}) {
      EXPECT_EQ(page.find(placeholder), std::string::npos) << placeholder;
    }
  }
}

}  // namespace
}  // namespace telvanta
