// Runs the publisher as a release would and reads its folder back the way
// the program does: over a loopback server, through the worker.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
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
#include "update/UpdateInfo.h"

namespace telvanta {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::ReadFile;
using test::Row;
using test::TempFolder;
using test::WriteFile;

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
                       {Row("France", "Published Radio", "", "http://h/radio")},
                       {Row("Finland", "Cam", "", "http://h/cam.jpg")});
  }
  TempFolder root_{"telvanta-publish"};
  fs::path catalogue_ = root_ / "listv2.dll";
  fs::path release_ = root_ / "release";
};

TEST_F(PublishUpdateTest, AReleaseFolderServesTheWorkerAndTheManualCheck) {
  ASSERT_EQ(Publish({catalogue_.string(), release_.string(), "--announce", "Fresh lists", "--url",
                     "http://h/news", "--newest", "7.3.0.0", "--serial", "20270101"}),
            0);
  test::LoopbackHttpServer server(release_);
  SetRegistryHivePathForTesting(root_ / "settings.reg");
  UpdateContext context;
  context.infoEndpointHex = DesEncryptHex(server.Url("/tvinfo.ini"), UpdateKey);
  context.listEndpointHex = DesEncryptHex(server.Url("/listv2.zip"), UpdateKey);
  context.downloadFolder = root_ / "downloads";
  context.dataFolder = root_ / "data";
  context.programFolder = root_ / "program";
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
  EXPECT_EQ(CatalogueSerial(StagingFolder(context.dataFolder) / "listv2.dll"), 20270101);

  const UpdateCheck check = CheckForUpdate(context);
  EXPECT_EQ(check.verdict, UpdateVerdict::NewerVersion);
  EXPECT_EQ(check.newest, "7.3.0.0");
}

TEST_F(PublishUpdateTest, RefusesWhatUsersWouldRefuseAndPublishesNothing) {
  test::ExecSql(root_ / "bad.dll", "create table tv(country,name,speed,url,type)");
  test::WriteFile(root_ / "endless.dll", ReadFile(catalogue_));
  test::ExecSql(root_ / "endless.dll",
                "drop table radio; create view radio(country,name,url) as with recursive r(n) as "
                "(select 1 union all select n+1 from r) select 'France','Loop',url from tv");
  const struct {
    const char* what;
    std::vector<std::string> arguments;
  } cases[] = {
      {"a catalogue without radio and webcam", {(root_ / "bad.dll").string(), release_.string()}},
      {"a missing catalogue", {(root_ / "none.dll").string(), release_.string()}},
      {"a radio list that never ends", {(root_ / "endless.dll").string(), release_.string()}},
      {"a serial that is no date",
       {catalogue_.string(), release_.string(), "--serial", "2027-1-1"}},
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

// A web server running as another user must read what is published, and a
// new release must not silence the announcements for the older ones.
TEST_F(PublishUpdateTest, PublishedFilesAreReadableByAllAndOtherReleasesKeepTheirSections) {
  const std::string ours = std::string(ProgramVersion);
  fs::create_directories(release_);
  WriteFile(release_ / "tvinfo.ini",
            "; the update server\r\n[Current]\r\nVersion=7.1.0.0\r\n\r\n"
            "[7.1.0.0]\r\nAnnounce=Please update\r\nURL=http://h/old\r\n"
            "[" +
                ours + "]\r\nAnnounce=Stale\r\n");
  fs::permissions(release_ / "tvinfo.ini", fs::perms::owner_read | fs::perms::owner_write);
  const mode_t saved = ::umask(022);
  const int status = Publish(
      {catalogue_.string(), release_.string(), "--announce", "Fresh lists", "--newest", "7.3.0.0"});
  ::umask(saved);
  ASSERT_EQ(status, 0);

  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(release_)) {
    files.push_back(entry.path().filename().string());
    EXPECT_EQ(entry.status().permissions(), fs::perms(0644)) << files.back();
  }
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"listv2.zip", "tvinfo.ini"}));

  const std::string info = ReadFile(release_ / "tvinfo.ini");
  EXPECT_EQ(NewestVersion(info), "7.3.0.0");
  EXPECT_EQ(ReadAnnouncement(info, ours), (Announcement{"Fresh lists", ""}));
  EXPECT_EQ(ReadAnnouncement(info, "7.1.0.0"), (Announcement{"Please update", "http://h/old"}));
  EXPECT_EQ(info.find("Stale"), std::string::npos) << info;
  EXPECT_EQ(info.rfind("; the update server\r\n", 0), 0U) << info;
}

// The published serial tells users' programs whether a shipped catalogue is newer.
TEST_F(PublishUpdateTest, TheArchivedCatalogueCarriesItsSerial) {
  const auto now = std::chrono::year_month_day{
      std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now())};
  const std::int64_t today = static_cast<int>(now.year()) * 10000 +
                             static_cast<unsigned>(now.month()) * 100 +
                             static_cast<unsigned>(now.day());
  const struct {
    const char* what;
    std::int64_t own;
    std::vector<std::string> options;
    std::optional<std::int64_t> published;  // none: today's (or tomorrow's, past midnight)
  } cases[] = {
      {"as given", 20261209, {"--serial", "20270101"}, 20270101},
      {"its own when later than today", 29991231, {}, 29991231},
      {"today's when its own is older", 20000101, {}, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(release_);
    WriteCatalogueSerial(catalogue_, c.own);
    std::vector<std::string> arguments{catalogue_.string(), release_.string()};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    ASSERT_EQ(Publish(arguments), 0);
    ASSERT_EQ(platform::ExtractZip(release_ / "listv2.zip", release_).written, 1);
    const std::int64_t serial = CatalogueSerial(release_ / "listv2.dll");
    if (c.published) {
      EXPECT_EQ(serial, *c.published);
    } else {
      EXPECT_GE(serial, today);
      EXPECT_LT(serial, today + 10000);
    }
    EXPECT_EQ(CatalogueSerial(catalogue_), c.own);  // the source is left as it was
  }
}

}  // namespace
}  // namespace telvanta
