#include "common/Links.h"

#include <gtest/gtest.h>

#include <string>

namespace telvanta {
namespace {

TEST(UrlLabelAddressTest, PrefixesTheHintByLabelType) {
  EXPECT_EQ(UrlLabelAddress(TLabelType::hmHTTP, "host/page.htm"), "http://host/page.htm");
  EXPECT_EQ(UrlLabelAddress(TLabelType::hmMAIL, "help@host"), "mailto:help@host");
  EXPECT_EQ(UrlLabelAddress(TLabelType::hmFTP, "host/file"), "ftp://host/file");
}

// Longer than 79 characters: the address must reach the shell whole.
TEST(UrlLabelAddressTest, KeepsLongAddressesWhole) {
  const std::string hint = "host/" + std::string(120, 'a');
  EXPECT_EQ(UrlLabelAddress(TLabelType::hmHTTP, hint), "http://" + hint);
}

}  // namespace
}  // namespace telvanta
