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

}  // namespace
}  // namespace telvanta
