#include "app/CommandLine.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace telvanta {
namespace {

using Action = CommandLine::Action;

// Addresses go to the player as given; files by their absolute path, from
// the folder the command was typed in; what can't be played is refused
// before any window, naming the argument.
TEST(CommandLineTest, ReadsOptionsAndTheAddressToPlay) {
  test::TempFolder folder;
  const std::filesystem::path cwd = folder.Path();
  std::filesystem::create_directories(cwd / "sub dir");
  for (const char* name : {"a.m3u", "sub dir/b c.pls", "--reset-skin"}) {
    std::ofstream(cwd / name) << "#EXTM3U\n";
  }
  const std::string here = cwd.string();
  struct Case {
    std::vector<std::string> args;
    Action action;
    bool resetSkin;
    std::string address;  // for Refuse: a part of the error
  };
  const Case cases[] = {
      {{}, Action::Run, false, ""},
      {{"--reset-skin"}, Action::Run, true, ""},
      {{"--reset-skin", "--help"}, Action::Help, false, ""},
      {{"--version", "--bogus"}, Action::Version, false, ""},
      {{"--reset"}, Action::Refuse, false, "'--reset'"},
      {{"http://127.0.0.1:8/live.m3u8?a=1&b=%20 "},
       Action::Run,
       false,
       "http://127.0.0.1:8/live.m3u8?a=1&b=%20 "},
      {{"mmsh://host/x", "rtsp://second"}, Action::Run, false, "mmsh://host/x"},
      {{"a.m3u", "--reset-skin"}, Action::Run, true, here + "/a.m3u"},
      {{"./sub dir/../a.m3u"}, Action::Run, false, here + "/a.m3u"},
      {{"file://" + here + "/sub%20dir/b%20c.pls"}, Action::Run, false, here + "/sub dir/b c.pls"},
      {{"FILE://localhost" + here + "/a.m3u"}, Action::Run, false, here + "/a.m3u"},
      {{"file://elsewhere/a.m3u"}, Action::Refuse, false, "not a file on this computer"},
      {{"--", "--reset-skin"}, Action::Run, false, here + "/--reset-skin"},
      {{"gone.pls"}, Action::Refuse, false, "'gone.pls': no such file"},
      {{"sub dir"}, Action::Refuse, false, "'sub dir': not a file"},
  };
  for (const Case& c : cases) {
    std::string label;
    for (const std::string& arg : c.args) label += "[" + arg + "]";
    const CommandLine command = ReadCommandLine(c.args, cwd);
    EXPECT_EQ(command.action, c.action) << label;
    EXPECT_EQ(command.resetSkin, c.resetSkin) << label;
    if (c.action == Action::Refuse) {
      EXPECT_NE(command.error.find(c.address), std::string::npos) << label << ": " << command.error;
    } else {
      EXPECT_EQ(command.address, c.address) << label;
    }
  }
}

}  // namespace
}  // namespace telvanta
