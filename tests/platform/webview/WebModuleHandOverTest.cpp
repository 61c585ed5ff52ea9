// The module file opens links with its own copy of the shell's open
// operation: what it cannot open must reach the program's handler, whether
// the handler is set before the module loads or after.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/ProgramPaths.h"
#include "platform/desktop/ShellOpen.h"
#include "platform/webview/WebModule.h"
#include "tests/support/TempFolder.h"

namespace telvanta::platform {
namespace {

TEST(WebModuleHandOverTest, TheModuleGetsTheProgramsOpenFailureHandler) {
  test::TempFolder folder;
  std::filesystem::copy_file(TELVANTA_FAKE_WEB_MODULE, folder / WebModuleFile);
  SetProgramFolderForTesting(folder.Path());
  std::vector<std::string> before;
  SetShellOpenFailureHandler([&before](const std::string& message) { before.push_back(message); });
  LoadWebModule();
  EXPECT_EQ(before, std::vector<std::string>{"handed to the module"});
  LoadWebModule();
  EXPECT_EQ(before.size(), 1U) << "handed once";
  std::vector<std::string> after;
  SetShellOpenFailureHandler([&after](const std::string& message) { after.push_back(message); });
  EXPECT_EQ(after, std::vector<std::string>{"handed to the module"});
  SetShellOpenFailureHandler({});
  SetProgramFolderForTesting({});
}

}  // namespace
}  // namespace telvanta::platform
