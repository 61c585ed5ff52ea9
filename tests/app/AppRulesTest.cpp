#include "app/AppRules.h"

#include <gtest/gtest.h>

#include <string>

namespace telvanta {
namespace {

TEST(IsTopMostTest, OnlyExactlyOneIsOn) {
  EXPECT_TRUE(IsTopMost("1"));
  for (const char* off : {"", "0", "true", "TRUE", " 1", "1 ", "01", "yes"}) {
    EXPECT_FALSE(IsTopMost(off)) << off;
  }
}

}  // namespace
}  // namespace telvanta
