// The web module file, as the program loads it.

#include <gtest/gtest.h>

#include <fstream>

#include "common/Error.h"
#include "common/ProgramPaths.h"
#include "platform/webview/WebModule.h"
#include "tests/support/TempFolder.h"

namespace telvanta::platform {
namespace {

// One process loads the module once, so one case: a damaged module file is
// refused with a message naming it, and asking again gives the same answer.
TEST(WebModuleTest, DamagedModuleIsToldByNameEveryTime) {
  test::TempFolder folder;
  std::ofstream(folder.Path() / WebModuleFile) << "not a shared object";
  SetProgramFolderForTesting(folder.Path());
  PreloadWebModule();
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      LoadWebModule();
      FAIL() << "a damaged module loaded";
    } catch (const Error& error) {
      const std::string text = error.what();
      EXPECT_NE(text.find((folder.Path() / WebModuleFile).string()), std::string::npos) << text;
      EXPECT_NE(text.find("can't be loaded"), std::string::npos) << text;
    }
    EXPECT_TRUE(WebModuleSettled());
  }
  SetProgramFolderForTesting({});
}

}  // namespace
}  // namespace telvanta::platform
