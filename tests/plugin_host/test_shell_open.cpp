// Addresses go to the desktop's default handler. The handler here is a test
// one, found through XDG folders of a temporary home.

#include <gtest/gtest.h>

#include <fstream>

#include "platform/gtk/ShellOpen.h"
#include "tests/plugin_host/support/GuiHarness.h"
#include "tests/plugin_host/support/TestMedia.h"

namespace telvanta::test {
namespace {

using namespace std::chrono_literals;

class ShellOpenTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    home_ = MakeTempFolder("telvanta-xdg");
    marker_ = home_ / "opened.txt";
    WriteTextFile(home_ / "data" / "applications" / "telvanta-test-handler.desktop",
                  "[Desktop Entry]\nType=Application\nName=Test handler\n"
                  "Exec=sh -c 'printf %s \"$1\" > \"" +
                      marker_.string() +
                      "\"' sh %u\n"
                      "MimeType=x-scheme-handler/x-telvanta-test;\nNoDisplay=true\n");
    WriteTextFile(home_ / "config" / "mimeapps.list",
                  "[Default Applications]\n"
                  "x-scheme-handler/x-telvanta-test=telvanta-test-handler.desktop\n");
    g_setenv("XDG_DATA_HOME", (home_ / "data").c_str(), TRUE);
    g_setenv("XDG_CONFIG_HOME", (home_ / "config").c_str(), TRUE);
    g_setenv("XDG_DATA_DIRS", (home_ / "none").c_str(), TRUE);
  }
  static std::string Opened() {
    std::ifstream in(marker_);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  static std::filesystem::path home_;
  static std::filesystem::path marker_;
};

std::filesystem::path ShellOpenTest::home_;
std::filesystem::path ShellOpenTest::marker_;

TEST_F(ShellOpenTest, HandsTheAddressToTheDefaultHandler) {
  std::filesystem::remove(marker_);
  platform::ShellOpen("x-telvanta-test:faq?topic=1", platform::ShowMode::Maximized);
  EXPECT_TRUE(RunUntil([] { return Opened() == "x-telvanta-test:faq?topic=1"; }, 10s)) << Opened();
}

TEST_F(ShellOpenTest, AnAddressWithoutHandlerFailsSilently) {
  std::filesystem::remove(marker_);
  platform::ShellOpen("x-telvanta-nothing:here");
  platform::ShellOpen("");
  RunFor(500ms);
  EXPECT_FALSE(std::filesystem::exists(marker_));
}

}  // namespace
}  // namespace telvanta::test
