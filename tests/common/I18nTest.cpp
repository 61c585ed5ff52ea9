#include "common/I18n.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace telvanta {
namespace {

// A translation may reorder the values; a percent sign that names no value
// stays, so "Buffering %1%" keeps its own.
TEST(I18nTest, SubstitutePutsEachValueWhereThePatternNamesIt) {
  const struct {
    const char* pattern;
    std::initializer_list<std::string_view> values;
    const char* expected;
  } cases[] = {
      {"Checking %1 of %2", {"3", "9"}, "Checking 3 of 9"},
      {"%2 sur %1", {"9", "3"}, "3 sur 9"},
      {"Buffering %1%", {"40"}, "Buffering 40%"},
      {"%1 and %3", {"a", "b"}, "a and %3"},
      {"%%1 %", {"x"}, "%x %"},
      {"no value", {}, "no value"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Substitute(c.pattern, c.values), c.expected) << c.pattern;
  }
}

// The catalogues follow the program: an install's share/locale beside
// share/telvanta, else locale/ in the program's own folder (the build).
TEST(I18nTest, CataloguesAreFoundRelativeToTheProgram) {
  test::TempFolder root("telvanta-i18n");
  const auto prefix = root.Path() / "usr";
  std::filesystem::create_directories(prefix / "bin");
  std::filesystem::create_directories(prefix / "share" / "telvanta");
  EXPECT_EQ(LocaleFolderBeside(prefix / "bin"), prefix / "share" / "locale");
  EXPECT_EQ(LocaleFolderBeside(root.Path()), root.Path() / "locale");
}

// No catalogue for the domain: the English text, and never the header the
// empty id would fetch.
TEST(I18nTest, WithoutACatalogueTheEnglishTextIsShown) {
  EXPECT_STREQ(Translate("Watch &TV"), "Watch &TV");
  EXPECT_STREQ(Translate(""), "");
  EXPECT_STREQ(TranslatePlural("%1 day ago", "%1 days ago", 1), "%1 day ago");
  EXPECT_STREQ(TranslatePlural("%1 day ago", "%1 days ago", 2), "%1 days ago");
}

}  // namespace
}  // namespace telvanta
