// Runs the publisher as a release would and reads its folder back the way
// the program does: over a loopback server, through the worker.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <string>

#include "common/DesCipher.h"
#include "common/ProgramPaths.h"
#include "platform/archive/ZipExtract.h"
#include "settings/Settings.h"
#include "tests/support/CatalogueTestSupport.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/TempFolder.h"
#include "update/CatalogueRefresh.h"
#include "update/CheckNetVersion.h"

namespace telvanta {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::ReadFile;
using test::Row;
using test::TempFolder;

// The exit status of the publisher run with these arguments, quoted.
int Publish(const std::vector<std::string>& arguments) {
  std::string command = "'" TELVANTA_PUBLISH_PROGRAM "'";
  for (const auto& argument : arguments) {
    command += " '" + argument + "'";
  }
  command += " 2>/dev/null";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class PublishUpdateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::MakeDatabase(catalogue_, {Row("Canada", "TV One", "300", "mms://h/tv")},
                       {Row("France", "Published Radio", "", "http://h/radio")}, {});
  }
  TempFolder root_{"telvanta-publish"};
  fs::path catalogue_ = root_ / "listv2.dll";
  fs::path release_ = root_ / "release";
};

TEST_F(PublishUpdateTest, AReleaseFolderServesTheWorkerAndTheManualCheck) {
  ASSERT_EQ(Publish({catalogue_.string(), release_.string(), "--announce", "Fresh lists", "--url",
                     "http://h/news", "--newest", "7.3.0.0"}),
            0);
  test::LoopbackHttpServer server(release_);
  SetRegistryHivePathForTesting(root_ / "settings.reg");
  UpdateContext context;
  context.infoEndpointHex = DesEncryptHex(server.Url("/tvinfo.ini"), UpdateKey);
  context.listEndpointHex = DesEncryptHex(server.Url("/listv2.zip"), UpdateKey);
  context.downloadFolder = root_ / "downloads";
  context.dataFolder = root_ / "data";
  context.version = std::string(ProgramVersion);
  context.language = LangEnglishUs;
  fs::create_directories(context.downloadFolder);

  std::mutex mutex;
  std::condition_variable ended;
  bool finished = false;
  Announcement announcement;
  bool staged = false;
  {
    CheckNetVersion worker(context, {[&](const Announcement& a) { announcement = a; },
                                     [&](const fs::path&) { staged = true; },
                                     [&] {
                                       std::lock_guard lock(mutex);
                                       finished = true;
                                       ended.notify_all();
                                     }});
    ASSERT_TRUE(worker.Start());
    std::unique_lock lock(mutex);
    ASSERT_TRUE(ended.wait_for(lock, 20s, [&] { return finished; }));
  }
  SetRegistryHivePathForTesting({});
  EXPECT_EQ(announcement, (Announcement{"Fresh lists", "http://h/news"}));
  ASSERT_TRUE(staged);  // the first run fetches the catalogue
  EXPECT_EQ(ReadFile(StagingFolder(context.dataFolder) / "listv2.dll"), ReadFile(catalogue_));

  const UpdateCheck check = CheckForUpdate(context);
  EXPECT_EQ(check.verdict, UpdateVerdict::NewerVersion);
  EXPECT_EQ(check.newest, "7.3.0.0");
}

TEST_F(PublishUpdateTest, RefusesWhatUsersWouldRefuseAndPublishesNothing) {
  test::ExecSql(root_ / "bad.dll", "create table tv(country,name,speed,url,type)");
  const struct {
    const char* what;
    std::vector<std::string> arguments;
  } cases[] = {
      {"a catalogue without radio and webcam", {(root_ / "bad.dll").string(), release_.string()}},
      {"a missing catalogue", {(root_ / "none.dll").string(), release_.string()}},
      {"a two-line announcement",
       {catalogue_.string(), release_.string(), "--announce", "one\nURL=http://evil"}},
      {"an unknown option", {catalogue_.string(), release_.string(), "--colour", "red"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_NE(Publish(c.arguments), 0);
    EXPECT_FALSE(fs::exists(release_ / "tvinfo.ini"));
    EXPECT_FALSE(fs::exists(release_ / "listv2.zip"));
  }
}

}  // namespace
}  // namespace telvanta
