#include "common/Captions.h"

#include <gtest/gtest.h>

#include <string>

namespace telvanta {
namespace {

struct FullStopCase {
  std::string message;
  std::string shown;
};

class ErrorBoxTextTest : public testing::TestWithParam<FullStopCase> {};

// The full stop goes only after characters that sort after "."; a message
// that already ends in punctuation or a bracket must not get a second one.
TEST_P(ErrorBoxTextTest, AppendsFullStopOnlyAfterCharactersSortingAfterIt) {
  EXPECT_EQ(ErrorBoxText(GetParam().message), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, ErrorBoxTextTest,
    testing::Values(FullStopCase{"", ""}, FullStopCase{"Failed", "Failed."},
                    FullStopCase{"Done.", "Done."},
                    FullStopCase{"List index out of bounds (-1)", "List index out of bounds (-1)"},
                    FullStopCase{"Stop!", "Stop!"}, FullStopCase{"Error 42", "Error 42."},
                    FullStopCase{"Why?", "Why?."}, FullStopCase{"a,", "a,"},
                    FullStopCase{"dash-", "dash-"}, FullStopCase{"slash/", "slash/."},
                    FullStopCase{"Cannot open file \"x\". No such file or directory",
                                 "Cannot open file \"x\". No such file or directory."},
                    FullStopCase{"quoted \"x\"", "quoted \"x\""}, FullStopCase{"line\n", "line\n"},
                    // A multi-byte last character sorts after any ASCII one.
                    FullStopCase{"caf\xC3\xA9", "caf\xC3\xA9."}));

struct MnemonicCase {
  std::string caption;
  std::string gtk;
  std::string spoken;
};

class MnemonicTest : public testing::TestWithParam<MnemonicCase> {};

TEST_P(MnemonicTest, ConvertsAmpersandCaptions) {
  EXPECT_EQ(GtkMnemonic(GetParam().caption), GetParam().gtk);
  EXPECT_EQ(StripMnemonic(GetParam().caption), GetParam().spoken);
}

INSTANTIATE_TEST_SUITE_P(
    Captions, MnemonicTest,
    testing::Values(MnemonicCase{"Watch &TV", "Watch _TV", "Watch TV"},
                    MnemonicCase{"T&ools", "T_ools", "Tools"},
                    MnemonicCase{"Open &URL...", "Open _URL...", "Open URL..."},
                    MnemonicCase{"Go!", "Go!", "Go!"},
                    // A doubled ampersand is a literal one, not a mnemonic.
                    MnemonicCase{"Tom && Jerry", "Tom & Jerry", "Tom & Jerry"},
                    // An underscore in a caption must not turn into a mnemonic.
                    MnemonicCase{"snake_case", "snake__case", "snake_case"},
                    MnemonicCase{"trailing&", "trailing_", "trailing"}, MnemonicCase{"", "", ""}));

}  // namespace
}  // namespace telvanta
