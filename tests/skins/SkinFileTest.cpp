// Skin files of every format read from a temporary folder: what loads, and
// that each kind of broken file fails with a text naming the problem.

#include "skins/SkinFile.h"

#include <gtest/gtest.h>

#include "tests/support/TempFolder.h"
#include "tests/support/ZipMaker.h"

namespace telvanta::skins {
namespace {

using test::MakeZip;
using test::TempFolder;
using test::WriteFile;
using test::ZipFile;

const std::string Svg = "<svg xmlns='http://www.w3.org/2000/svg' width='4' height='4'/>";

class SkinFileTest : public ::testing::Test {
 protected:
  TempFolder folder_{"telvanta-skins"};
};

TEST_F(SkinFileTest, EachFormatLoadsWithItsPictures) {
  const auto dir = folder_.Path();
  WriteFile(dir / "plain.uskn", "button { background-image: url('pics/b.svg'); }");
  WriteFile(dir / "pics" / "b.svg", Svg);
  const std::vector<test::ZipEntry> archive = {
      ZipFile("skin.css",
              "tab { background-image: url(\"./pics//b.svg\"); }\n"
              "/* url(not-a-picture.png) */ label { color: #123; }"),
      ZipFile("pics/b.svg", Svg)};
  for (const char* name : {"packed.mskn", "packed.kskn", "packed.XSKN"}) {
    MakeZip(dir / name, archive);
  }
  WriteFile(dir / "look.theme",
            "# a theme\n[Skin]\nName=Look Name\nAuthor=Someone\nStyleSheet=look/sheet.css\n");
  WriteFile(dir / "look" / "sheet.css", "menu { background-image: url(corner.svg); }");
  WriteFile(dir / "look" / "corner.svg", Svg);

  const std::string pictureUrl = "file://" + (dir / "pics" / "b.svg").string();
  struct Case {
    const char* file;
    std::string sheet;
    std::string name;
  };
  const Case cases[] = {
      {"plain.uskn", "button { background-image: url(\"" + pictureUrl + "\"); }", "plain"},
      {"packed.mskn", "", "packed"},
      {"packed.kskn", "", "packed"},
      {"packed.XSKN", "", "packed"},
      {"look.theme",
       "menu { background-image: url(\"file://" + (dir / "look" / "corner.svg").string() + "\"); }",
       "Look Name"},
  };
  for (const Case& c : cases) {
    const auto read = ReadSkinFile(dir / c.file);
    ASSERT_TRUE(read.skin) << c.file << ": " << read.error;
    if (c.sheet.empty()) {
      // A packed skin's picture is named by a URL of its own, with its bytes.
      ASSERT_EQ(read.skin->pictures.size(), 1U) << c.file;
      const auto& [url, bytes] = *read.skin->pictures.begin();
      EXPECT_EQ(url.rfind("telvanta-skin:///", 0), 0U) << url;
      EXPECT_TRUE(url.ends_with("/pics/b.svg")) << url;
      EXPECT_EQ(bytes, Svg);
      EXPECT_NE(read.skin->styleSheet.find("url(\"" + url + "\")"), std::string::npos);
      EXPECT_NE(read.skin->styleSheet.find("/* url(not-a-picture.png) */"), std::string::npos);
    } else {
      EXPECT_EQ(read.skin->styleSheet, c.sheet) << c.file;
    }
    EXPECT_EQ(read.skin->name, c.name) << c.file;
  }
  EXPECT_EQ(ReadSkinFile(dir / "look.theme").skin->author, "Someone");
}

TEST_F(SkinFileTest, BrokenFilesFailNamingTheProblem) {
  const auto dir = folder_.Path();
  WriteFile(dir / "text.mskn", "this is no archive at all");
  WriteFile(dir / "empty.uskn", "");
  MakeZip(dir / "nosheet.mskn", {ZipFile("Skin/skin.css", "label {}"), ZipFile("a.png", "x")});
  MakeZip(dir / "nopicture.mskn",
          {ZipFile("skin.css", "tab { background-image: url(gone.png); }")});
  MakeZip(dir / "latin1.mskn", {ZipFile("skin.css", "/* caf\xe9 */ label {}")});
  // An archive cut short: the sheet's data ends early.
  MakeZip(dir / "whole.mskn", {ZipFile("skin.css", std::string(4000, ' ') + "label {}")});
  const std::string whole = test::ReadFile(dir / "whole.mskn");
  WriteFile(dir / "cut.mskn", whole.substr(0, 60));
  WriteFile(dir / "nosheet.theme", "[Skin]\nName=No sheet\n");
  WriteFile(dir / "missing.theme", "[Skin]\nStyleSheet=gone/skin.css\n");
  WriteFile(dir / "notini.theme", "StyleSheet=skin.css\n");
  WriteFile(dir / "aero.msstyles", "MZ\x90");
  WriteFile(dir / "odd.skin", "label {}");

  struct Case {
    const char* file;
    const char* why;
  };
  const Case cases[] = {
      {"text.mskn", "it is not a ZIP archive"},
      {"empty.uskn", "the file is empty"},
      {"absent.uskn", "the file does not exist"},
      {"nosheet.mskn", "the archive holds no skin.css"},
      {"nopicture.mskn", "skin.css names the picture \"gone.png\", which is not there"},
      {"latin1.mskn", "skin.css is not UTF-8 text"},
      {"cut.mskn", "the ZIP archive is damaged"},
      {"nosheet.theme", "its [Skin] section names no StyleSheet"},
      {"missing.theme", "gone/skin.css does not exist"},
      {"notini.theme", "it is no theme file"},
      {"aero.msstyles", "Windows visual styles cannot be read on this platform"},
      {"odd.skin", "\".skin\" is no skin format"},
  };
  for (const Case& c : cases) {
    const auto read = ReadSkinFile(dir / c.file);
    EXPECT_FALSE(read.skin) << c.file;
    const std::string start = "Cannot load skin \"" + (dir / c.file).string() + "\": ";
    EXPECT_EQ(read.error.rfind(start, 0), 0U) << read.error;
    EXPECT_NE(read.error.find(c.why), std::string::npos) << read.error;
  }
}

TEST(RewriteUrlsTest, OnlyUrlNamesOutsideCommentsAndStringsAreResolved) {
  const auto upper = [](std::string_view name) -> std::optional<std::string> {
    if (name == "missing") return std::nullopt;
    return "<" + std::string(name) + ">";
  };
  struct Case {
    const char* css;
    const char* expected;  // nullptr: a name stays unresolved
  };
  const Case cases[] = {
      {"a { b: url(x.png); }", "a { b: url(\"<x.png>\"); }"},
      {"a { b: URL( 'y z.svg' ) }", "a { b: url(\"<y z.svg>\") }"},
      {"a { b: -gtk-scaled(url(\"p.png\"), url(\"q.png\")); }",
       "a { b: -gtk-scaled(url(\"<p.png>\"), url(\"<q.png>\")); }"},
      {"/* url(c.png) */ a { content: \"url(s.png)\"; }",
       "/* url(c.png) */ a { content: \"url(s.png)\"; }"},
      {"a { font-family: myurl(x); }", "a { font-family: myurl(x); }"},
      {"a { b: url(missing); }", nullptr},
      {"a { b: url(unclosed.png; }", nullptr},
  };
  for (const Case& c : cases) {
    std::string unresolved;
    const auto out = RewriteUrls(c.css, upper, &unresolved);
    if (c.expected == nullptr) {
      EXPECT_FALSE(out) << c.css;
      EXPECT_FALSE(unresolved.empty()) << c.css;
    } else {
      ASSERT_TRUE(out) << c.css;
      EXPECT_EQ(*out, c.expected);
    }
  }
}

}  // namespace
}  // namespace telvanta::skins
