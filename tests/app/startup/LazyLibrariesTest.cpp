// The program's stand-ins for the network, archive and playlist libraries:
// linked as the program links them, the libraries stay unloaded until their
// first call, and the calls reach them with their arguments intact.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/archive/ZipExtract.h"
#include "platform/net/Download.h"
#include "platform/player/MetafileResolver.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/TempFolder.h"
#include "tests/support/ZipMaker.h"

namespace telvanta {
namespace {

bool Loaded(const char* soname) {
  void* library = dlopen(soname, RTLD_NOW | RTLD_NOLOAD);
  if (library != nullptr) {
    dlclose(library);
  }
  return library != nullptr;
}

std::string Read(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(LazyLibrariesTest, LibrariesOpenOnTheirFirstCallAndTakeEveryKindOfArgument) {
  test::TempFolder folder("telvanta-lazy");
  test::WriteFile(folder / "www" / "list.txt", std::string(2000, 'x'));
  test::LoopbackHttpServer server(folder / "www");

  ASSERT_FALSE(Loaded("libcurl.so.4"));
  ASSERT_FALSE(Loaded("libtotem-plparser.so.18"));

  // Pointers (the address, callbacks), longs (time-outs) and a curl_off_t
  // (the size limit), which a wrong forward would garble.
  const auto fetched = folder / "fetched.txt";
  EXPECT_TRUE(platform::DownloadFile(server.Url("/list.txt"), fetched));
  EXPECT_EQ(Read(fetched), std::string(2000, 'x'));
  EXPECT_FALSE(platform::DownloadFile(server.Url("/list.txt"), folder / "cut.txt", nullptr,
                                      {.maxBytes = 1000}));
  EXPECT_FALSE(std::filesystem::exists(folder / "cut.txt"));
  EXPECT_TRUE(Loaded("libcurl.so.4"));

  test::WriteFile(folder / "list.m3u", "#EXTM3U\n#EXTINF:-1,One\nhttp://127.0.0.1/one.mp3\n");
  const auto playlist = platform::ReadPlaylistFile((folder / "list.m3u").string());
  ASSERT_EQ(playlist.entries.size(), 1U);
  EXPECT_EQ(playlist.entries[0].address, "http://127.0.0.1/one.mp3");
  EXPECT_TRUE(Loaded("libtotem-plparser.so.18"));

  test::MakeZip(folder / "pack.zip", {test::ZipFile("a/b.txt", "inside")});
  std::filesystem::create_directories(folder / "out");
  const auto report = platform::ExtractZip(folder / "pack.zip", folder / "out");
  EXPECT_EQ(report.written, 1);
  EXPECT_EQ(Read(folder / "out" / "a" / "b.txt"), "inside");
}

}  // namespace
}  // namespace telvanta
