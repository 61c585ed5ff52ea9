// Reading compiled help: the program's own Help.chm as the build makes it,
// small help files compiled here with the same compiler, and damaged files.

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <regex>
#include <set>

#include "platform/chm/ChmFile.h"
#include "tests/support/TempFolder.h"

namespace telvanta::platform {
namespace {

using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

const std::filesystem::path HelpFile = TELVANTA_HELP_FILE;

std::string Page(const std::string& title) {
  return "<html><head><title>" + title + "</title></head><body>" + title + "</body></html>";
}

std::string Contents(const std::string& firstPage) {
  return "<HTML><BODY><UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"First\">"
         "<param name=\"Local\" value=\"" +
         firstPage + "\"></OBJECT></UL></BODY></HTML>";
}

// Compiles a help project in `folder` with chmcmd, as the build does.
std::filesystem::path Compile(const TempFolder& folder, const std::string& options,
                              const std::vector<std::string>& pages) {
  std::string project = "[OPTIONS]\nCompiled file=Out.chm\nTitle=Test\n" + options + "\n[FILES]\n";
  for (const auto& page : pages) {
    WriteFile(folder / page, Page(page));
    project += page + "\n";
  }
  WriteFile(folder / "p.hhp", project);
  const std::string command = "cd '" + folder.Path().string() +
                              "' && '" TELVANTA_CHMCMD "' --no-html-scan p.hhp > /dev/null 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0);
  return folder / "Out.chm";
}

TEST(ChmFileTest, TheProgramsHelpOpensAtItsContentsAndHasTheFaqTopic) {
  const auto help = ChmFile::Open(HelpFile);
  ASSERT_TRUE(help.has_value());
  EXPECT_EQ(help->DefaultTopic(), "index.htm");
  const auto faq = help->Read("faq.htm");
  ASSERT_TRUE(faq.has_value());
  EXPECT_NE(faq->find("<title>Frequently asked questions</title>"), std::string::npos);
  // Links written on Windows ignore case; so does the reader.
  EXPECT_EQ(help->Read("/FAQ.HTM"), faq);
  EXPECT_FALSE(help->Read("nothing.htm").has_value());
}

TEST(ChmFileTest, EveryLinkOfTheProgramsHelpLeadsToAPageInIt) {
  const auto help = ChmFile::Open(HelpFile);
  ASSERT_TRUE(help.has_value());
  const auto stored = help->List();
  const std::set<std::string> objects(stored.begin(), stored.end());
  const std::regex link(R"re((?:href|value)="([^"#:]+\.(?:htm|css))(?:#[^"]*)?")re",
                        std::regex::icase);
  int pages = 0;
  for (const auto& object : objects) {
    if (!object.ends_with(".htm") && !object.ends_with(".hhc") && !object.ends_with(".hhk")) {
      continue;
    }
    ++pages;
    const std::string text = help->Read(object).value_or("");
    for (std::sregex_iterator it(text.begin(), text.end(), link), end; it != end; ++it) {
      EXPECT_TRUE(objects.count("/" + (*it)[1].str())) << object << " links to " << (*it)[1];
    }
  }
  EXPECT_GT(pages, 10);
}

TEST(ChmFileTest, TheDefaultTopicFallsBackToTheContentsThenToIndex) {
  struct Case {
    const char* options;
    const char* expected;
  };
  const Case cases[] = {
      {"Default topic=start.htm\nContents file=toc.hhc", "start.htm"},
      {"Default topic=/sub.htm", "sub.htm"},
      {"Contents file=toc.hhc", "second.htm"},
      {"", "index.htm"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.options);
    TempFolder folder("telvanta-chm");
    WriteFile(folder / "toc.hhc", Contents("second.htm"));
    const auto built = Compile(folder, c.options, {"start.htm", "second.htm", "sub.htm"});
    const auto help = ChmFile::Open(built);
    ASSERT_TRUE(help.has_value());
    EXPECT_EQ(help->DefaultTopic(), c.expected);
    EXPECT_EQ(help->Read(c.expected == std::string("index.htm") ? "start.htm" : c.expected),
              Page(c.expected == std::string("index.htm") ? "start.htm" : c.expected));
  }
}

TEST(ChmFileTest, TheFirstLocalPageOfAContentsFile) {
  const std::pair<const char*, std::optional<std::string>> cases[] = {
      {R"(<param name="Name" value="A"><param name="Local" value="a.htm">)", "a.htm"},
      {R"(<PARAM NAME="local" VALUE="Sub/B.htm">)", "Sub/B.htm"},
      {R"(<param value='c.htm' name='Local'>)", "c.htm"},
      {R"(<param name=Local value=d.htm>)", "d.htm"},
      {R"(<param name="Local" value=""><param name="Local" value="e.htm">)", "e.htm"},
      {R"(<param name="ImageNumber" value="1"><param name="Name" value="x.htm">)", std::nullopt},
      {R"(<param name="Local" value="unterminated)", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [contents, expected] : cases) {
    EXPECT_EQ(FirstLocalTopic(contents), expected) << contents;
  }
}

// Help files come from the program folder, but a damaged copy must not take
// the program down with it.
TEST(ChmFileTest, MissingForeignAndDamagedFilesFailCleanly) {
  TempFolder folder("telvanta-chm");
  EXPECT_FALSE(ChmFile::Open(folder / "missing.chm").has_value());
  EXPECT_FALSE(ChmFile::Open(folder.Path()).has_value());
  WriteFile(folder / "empty.chm", "");
  EXPECT_FALSE(ChmFile::Open(folder / "empty.chm").has_value());
  WriteFile(folder / "text.chm", Page("not help"));
  EXPECT_FALSE(ChmFile::Open(folder / "text.chm").has_value());

  const std::string whole = ReadFile(HelpFile);
  const auto original = ChmFile::Open(HelpFile);
  ASSERT_TRUE(original.has_value());
  const auto faq = original->Read("faq.htm");
  // Truncated anywhere, and with a run of bytes overwritten anywhere.
  for (std::size_t step = 1; step < 24; ++step) {
    const std::size_t at = whole.size() * step / 24;
    std::string damaged = whole;
    damaged.replace(at, std::min<std::size_t>(64, whole.size() - at), 64, '\xff');
    for (const auto& bytes : {whole.substr(0, at), damaged}) {
      SCOPED_TRACE(std::to_string(at) + (bytes.size() < whole.size() ? " cut" : " overwritten"));
      WriteFile(folder / "damaged.chm", bytes);
      const auto help = ChmFile::Open(folder / "damaged.chm");
      if (!help) {
        continue;
      }
      help->DefaultTopic();
      help->List();
      const auto read = help->Read("faq.htm");
      if (read && bytes.size() < whole.size()) {
        EXPECT_EQ(read, faq);  // a short file never passes off a short page
      }
    }
  }
}

// chmlib itself crashes on damage near the compression's control data and
// reset table (a null decoder in LZXreset, a division by zero, overruns);
// the open or the read fails instead.
TEST(ChmFileTest, FilesThatCrashTheLibraryFailToOpenOrReadInstead) {
  TempFolder folder("telvanta-chm");
  const std::string whole = ReadFile(HelpFile);
  const std::size_t control = whole.find("LZXC");
  ASSERT_NE(control, std::string::npos);
  const std::size_t from = control > 512 ? control - 512 : 0;
  const std::size_t span = std::min<std::size_t>(1024, whole.size() - from);
  std::mt19937 random(20261209);
  int opened = 0;
  for (int i = 0; i < 300; ++i) {
    std::string damaged = whole;
    for (int n = 1 + static_cast<int>(random() % 8); n > 0; --n) {
      damaged[from + random() % span] = static_cast<char>(random());
    }
    WriteFile(folder / "damaged.chm", damaged);
    if (const auto help = ChmFile::Open(folder / "damaged.chm")) {
      ++opened;
      help->DefaultTopic();
      help->Read("faq.htm");
    }
  }
  EXPECT_GT(opened, 0);  // some damage hits only what no page needs
}

}  // namespace
}  // namespace telvanta::platform
