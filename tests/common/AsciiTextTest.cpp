#include "common/AsciiText.h"

#include <gtest/gtest.h>

#include <string>

namespace telvanta {
namespace {

// Every byte: only letters a to z change case, whatever the locale thinks of
// the rest (Latin-1 letters, UTF-8 parts, '@', '[', '`', '{').
TEST(AsciiText, OnlyLettersAToZChangeCase) {
  for (int i = 0; i < 256; ++i) {
    const char c = static_cast<char>(i);
    const bool upper = c >= 'A' && c <= 'Z';
    const bool lower = c >= 'a' && c <= 'z';
    EXPECT_EQ(AsciiLower(c), upper ? static_cast<char>(c + 32) : c) << i;
    EXPECT_EQ(AsciiUpper(c), lower ? static_cast<char>(c - 32) : c) << i;
  }
}

TEST(AsciiText, WholeTextsKeepNonLettersAndLength) {
  EXPECT_EQ(AsciiLower("MMS://Tv.Example/\xC3\x89T\xC3\xA9.ASX?Q=1"),
            "mms://tv.example/\xC3\x89t\xC3\xA9.asx?q=1");
  EXPECT_EQ(AsciiUpper("rtsp://cam\xE9.jpg"), "RTSP://CAM\xE9.JPG");
  EXPECT_EQ(AsciiLower(std::string("A\0B", 3)), std::string("a\0b", 3));
  EXPECT_EQ(AsciiUpper(""), "");
}

TEST(AsciiText, EqualityIgnoresOnlyLetterCase) {
  EXPECT_TRUE(EqualsIgnoringAsciiCase("Radio", "rADIO"));
  EXPECT_TRUE(EqualsIgnoringAsciiCase("", ""));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("Radio", "Radi"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("Radi", "Radio"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("@", "`"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("\xC9", "\xE9"));
}

// Every byte: only 0-9, a-f and A-F are digits, so a stray 'g', a sign or a
// Latin-1 byte can't pass for one.
TEST(AsciiText, HexDigitValueKnowsOnlyTheTwentyTwoDigits) {
  const std::string digits = "0123456789abcdefABCDEF";
  for (int i = 0; i < 256; ++i) {
    const char c = static_cast<char>(i);
    const auto at = digits.find(c);
    const int expected = at == std::string::npos ? -1 : static_cast<int>(at < 16 ? at : at - 6);
    EXPECT_EQ(HexDigitValue(c), expected) << i;
  }
}

TEST(AsciiText, TrimTakesOnlyAsciiSpaceFromBothEnds) {
  const struct {
    std::string text;
    std::string trimmed;
  } cases[] = {
      {" \t\r\n\v\f100%\f ", "100%"},
      {"   ", ""},
      {"", ""},
      {"a b", "a b"},
      {"\xA0x\xA0", "\xA0x\xA0"},  // no-break space is not ASCII space
      {std::string("\0x", 2), std::string("\0x", 2)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TrimAsciiSpace(c.text), c.trimmed) << c.text;
  }
}

}  // namespace
}  // namespace telvanta
