#include "playback/OpenMediaRules.h"

#include <gtest/gtest.h>

namespace telvanta {
namespace {

TEST(ParseDialogFilterTest, MediaFilterHasFiveGroupsAsWritten) {
  const auto groups = ParseDialogFilter(MediaFileFilter);
  ASSERT_EQ(groups.size(), 5U);
  const std::vector<FilterGroup> expected = {
      {"Media files(all types)",
       {"*.asf", "*.wmv", "*.wma", "*.asf", "*.avi", "*.rm", "*.ram", "*.ra", "*.smil", "*.smi",
        "*.rms", "*.mp3", "*.wav", "*.mp2", "*.mpa", "*.wav"}},
      {"Windows Media file(*.asf;*.wmv;*.wma;*.asf)",
       {"*.asf", "*.wmv", "*.wma", "*.asf", "*.avi"}},
      {"RealMedia files(*.rm;*.ram;*.ra;*.smil;*.smi;*.avi)",
       {"*.rm", "*.ram", "*.ra", "*.smil", "*.smi", "*.rms", "*.avi"}},
      {"Audio files(*.mp3;*.wav;*.mp2;*.mpa;*.wav)", {"*.mp3", "*.wav", "*.mp2", "*.mpa", "*.wav"}},
      {"All files(*.*)", {"*.*"}},
  };
  EXPECT_EQ(groups, expected);
}

TEST(ParseDialogFilterTest, ToleratesOddFilters) {
  EXPECT_TRUE(ParseDialogFilter("").empty());
  // A label without patterns is dropped rather than read past the end.
  EXPECT_EQ(ParseDialogFilter("Only label").size(), 0U);
  const auto groups = ParseDialogFilter("A|*.a;;*.b|B");
  ASSERT_EQ(groups.size(), 1U);
  EXPECT_EQ(groups[0].patterns, (std::vector<std::string>{"*.a", "*.b"}));
}

TEST(CaseInsensitivePatternTest, MatchesBothLetterCases) {
  EXPECT_EQ(CaseInsensitivePattern("*.wmv"), "*.[wW][mM][vV]");
  EXPECT_EQ(CaseInsensitivePattern("*.MP3"), "*.[mM][pP]3");
  EXPECT_EQ(CaseInsensitivePattern("*.*"), "*.*");
  EXPECT_EQ(CaseInsensitivePattern(""), "");
}

}  // namespace
}  // namespace telvanta
