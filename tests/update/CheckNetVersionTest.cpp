#include "update/CheckNetVersion.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "catalogue/ListLoading.h"
#include "common/DesCipher.h"
#include "settings/Settings.h"
#include "tests/support/CatalogueTestSupport.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/Ports.h"
#include "tests/support/StreamRoutes.h"
#include "tests/support/TempFolder.h"
#include "tests/support/ZipMaker.h"
#include "update/CatalogueRefresh.h"
#include "update/Endpoints.h"

namespace telvanta {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::LoopbackHttpServer;
using test::MakeZip;
using test::ReadFile;
using test::Row;
using test::TempFolder;
using test::WriteFile;
using test::ZipFile;

constexpr std::string_view kInfo =
    "[Current]\r\nVersion=7.3.0.0\r\n\r\n"
    "[7.1.0.0]\r\nAnnounce=Please update\r\nURL=http://h/old\r\n\r\n"
    "[7.2.0.0]\r\nAnnounce=New stations!\r\nURL=http://h/news\r\n";

std::string Catalogue(const fs::path& folder, const std::string& radioName) {
  const fs::path file = folder / "made.dll";
  fs::remove(file);
  test::MakeDatabase(file, {Row("Canada", "TV One", "300", "mms://h/tv")},
                     {Row("France", radioName, "", "http://h/radio")},
                     {Row("Finland", "Cam", "", "http://h/cam.jpg")});
  return ReadFile(file);
}

// What the worker reported, waited for from the test's thread.
struct Reports {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<Announcement> announcements;
  std::vector<fs::path> staged;
  int finished = 0;

  UpdateCallbacks Callbacks() {
    return {[this](const Announcement& a) { Add([&] { announcements.push_back(a); }); },
            [this](const fs::path& p) { Add([&] { staged.push_back(p); }); },
            [this] { Add([&] { ++finished; }); }};
  }
  template <typename Change>
  void Add(Change change) {
    std::lock_guard lock(mutex);
    change();
    changed.notify_all();
  }
  bool WaitFinished(std::chrono::seconds limit = 20s) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, limit, [this] { return finished > 0; });
  }
};

class CheckNetVersionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetRegistryHivePathForTesting(root_ / "settings.reg");
    fs::create_directories(downloads_);
    fs::create_directories(data_);
    WriteFile(served_ / "tvinfo.ini", std::string(kInfo));
  }
  void TearDown() override { SetRegistryHivePathForTesting({}); }

  UpdateContext Context(std::optional<LangId> language = LangEnglishUs) const {
    UpdateContext context;
    context.infoEndpointHex = DesEncryptHex(server_.Url("/tvinfo.ini"), UpdateKey);
    context.listEndpointHex = DesEncryptHex(server_.Url("/listv2.zip"), UpdateKey);
    context.downloadFolder = downloads_;
    context.dataFolder = data_;
    context.programFolder = root_ / "program";
    context.version = "7.2.0.0";
    context.language = language;
    context.limits.connectTimeout = 2s;
    context.limits.lowSpeedBytes = 100;
    context.limits.lowSpeedTime = 1s;
    return context;
  }

  // One run to its end.
  void RunOnce(Reports& reports, std::optional<LangId> language = LangEnglishUs) {
    CheckNetVersion worker(Context(language), reports.Callbacks());
    ASSERT_TRUE(worker.Start());
    ASSERT_TRUE(reports.WaitFinished());
  }

  void Serve(const fs::path& name, const std::string& bytes) { WriteFile(served_ / name, bytes); }

  TempFolder root_{"telvanta-update"};
  fs::path served_ = root_ / "served";
  fs::path downloads_ = root_ / "downloads";
  fs::path data_ = root_ / "data";
  LoopbackHttpServer server_{(fs::create_directories(root_ / "served"), served_)};
};

TEST_F(CheckNetVersionTest, AnnouncesOurVersionStoresItAndDeletesTheFile) {
  const struct {
    const char* what;
    std::string info;
    Announcement expected;
  } cases[] = {
      {"our section", std::string(kInfo), {"New stations!", "http://h/news"}},
      {"other versions only clear the label", "[7.1.0.0]\nAnnounce=Old\nURL=http://h/o\n", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteSetting("LastText", "stale");
    WriteSetting("LastURL", "stale");
    WriteSetting("FirstRun", "1");
    Serve("tvinfo.ini", c.info);
    Reports reports;
    RunOnce(reports);
    ASSERT_EQ(reports.announcements.size(), 1U);
    EXPECT_EQ(reports.announcements[0], c.expected);
    EXPECT_EQ(ReadSetting("LastText"), c.expected.text);
    EXPECT_EQ(ReadSetting("LastURL"), c.expected.url);
    EXPECT_TRUE(fs::is_empty(downloads_));
  }
}

TEST_F(CheckNetVersionTest, AFailedFetchChangesNothingAndFetchesNoCatalogue) {
  WriteSetting("LastText", "kept");
  WriteSetting("AutoUpdate", "1");
  fs::remove(served_ / "tvinfo.ini");
  WriteFile(downloads_ / "tvinfo.ini", "someone else's");
  Reports reports;
  RunOnce(reports);
  EXPECT_TRUE(reports.announcements.empty());
  EXPECT_EQ(ReadSetting("LastText"), "kept");
  EXPECT_EQ(server_.Hits("/listv2.zip"), 0);
  EXPECT_EQ(ReadFile(downloads_ / "tvinfo.ini"), "someone else's");
}

TEST_F(CheckNetVersionTest, TheGatesDecideWhetherTheCatalogueIsFetched) {
  MakeZip(served_ / "listv2.zip", {ZipFile("listv2.dll", Catalogue(root_.Path(), "New"))});
  const struct {
    const char* what;
    std::optional<LangId> language;
    const char* autoUpdate;  // null: no value
    const char* firstRun;
    bool fetches;
  } cases[] = {
      {"English (UK) never", LangEnglishBritain, "1", nullptr, false},
      {"AutoUpdate 1", LangEnglishUs, "1", "1", true},
      {"no AutoUpdate, first run", LangGermanGermany, nullptr, nullptr, true},
      {"no AutoUpdate, not the first run", LangChinesePrc, nullptr, "1", false},
      {"AutoUpdate 0", LangEnglishUs, "0", "1", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DeleteSetting("AutoUpdate");
    DeleteSetting("FirstRun");
    if (c.autoUpdate != nullptr) {
      WriteSetting("AutoUpdate", c.autoUpdate);
    }
    if (c.firstRun != nullptr) {
      WriteSetting("FirstRun", c.firstRun);
    }
    const int before = server_.Hits("/listv2.zip");
    Reports reports;
    RunOnce(reports, c.language);
    EXPECT_EQ(server_.Hits("/listv2.zip") - before, c.fetches ? 1 : 0);
    EXPECT_EQ(reports.staged.size(), c.fetches ? 1U : 0U);
    EXPECT_EQ(reports.announcements.size(), 1U);  // announcements work regardless
    EXPECT_TRUE(fs::is_empty(downloads_));
  }
}

TEST_F(CheckNetVersionTest, AWholeCatalogueIsStagedAndTheListsShowItOnceInstalled) {
  WriteSetting("AutoUpdate", "1");
  MakeZip(served_ / "listv2.zip", {ZipFile("listv2.dll", Catalogue(root_.Path(), "Fresh Radio")),
                                   ZipFile("Skins/readme.txt", "skins")});
  Reports reports;
  RunOnce(reports);
  ASSERT_EQ(reports.staged.size(), 1U);
  EXPECT_TRUE(fs::exists(StagingFolder(data_) / "Skins" / "readme.txt"));
  ASSERT_TRUE(InstallStagedCatalogue(data_));

  StationDatabase db;
  db.db_connect(CatalogueToOpen(data_, root_ / "program"));
  StationList radio;
  LoadRadio(db, radio);
  EXPECT_EQ(radio.entries, std::vector<std::string>{"France - Fresh Radio"});
  EXPECT_TRUE(fs::is_empty(downloads_));
}

// One bad row from the server must not cut the lists short for every user.
TEST_F(CheckNetVersionTest, ABadOrHostileArchiveLeavesTheCatalogueInUse) {
  WriteSetting("AutoUpdate", "1");
  WriteFile(StagingFolder(data_) / "listv2.dll", Catalogue(root_.Path(), "Old Radio"));
  ASSERT_TRUE(AcceptStagedCatalogue(data_, root_ / "program").has_value());
  ASSERT_TRUE(InstallStagedCatalogue(data_));
  WriteFile(data_ / "Fav.dat", "Mine|ABCD\r\n");
  const fs::path bad = root_ / "bad.dll";
  WriteFile(bad, Catalogue(root_.Path(), "Bad"));
  test::ExecSql(bad, "insert into radio values('Spain','Broken','ZZ','')");
  // The radio list never ends: a check without bounds would never return.
  const fs::path endless = root_ / "endless.dll";
  WriteFile(endless, Catalogue(root_.Path(), "Endless"));
  test::ExecSql(endless,
                "drop table radio; create view radio(country,name,url) as with recursive "
                "r(n) as (select 1 union all select n+1 from r) select 'France','Loop','" +
                    DesEncryptHex("http://h/loop", StationKey) + "' from r");
  const struct {
    const char* what;
    std::vector<test::ZipEntry> entries;
  } cases[] = {
      {"a row that does not decipher", {ZipFile("listv2.dll", ReadFile(bad))}},
      {"a radio list that never ends", {ZipFile("listv2.dll", ReadFile(endless))}},
      {"climbing out to the favourites", {ZipFile("../Fav.dat", "stolen")}},
      {"a link to the data folder",
       {{"listv2.dll", data_.string() + "/Fav.dat", test::ZipEntry::Kind::Symlink}}},
      {"half an archive", {}},
  };
  const std::string before = ReadFile(data_ / "listv2.dll");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.entries.empty()) {
      MakeZip(served_ / "listv2.zip", {ZipFile("listv2.dll", Catalogue(root_.Path(), "New"))});
      const std::string whole = ReadFile(served_ / "listv2.zip");
      WriteFile(served_ / "listv2.zip", whole.substr(0, whole.size() / 2));
    } else {
      MakeZip(served_ / "listv2.zip", c.entries);
    }
    Reports reports;
    RunOnce(reports);
    EXPECT_TRUE(reports.staged.empty());
    EXPECT_EQ(ReadFile(data_ / "listv2.dll"), before);
    EXPECT_EQ(ReadFile(data_ / "Fav.dat"), "Mine|ABCD\r\n");
    EXPECT_FALSE(fs::exists(StagingFolder(data_)));
    EXPECT_EQ(CatalogueToOpen(data_, root_ / "program"), data_ / "listv2.dll");
  }
}

// Closing the program must not wait for a server that never answers, and
// nothing may reach the destroyed owner.
TEST_F(CheckNetVersionTest, DestroyingARunningWorkerCancelsItPromptly) {
  server_.AddRoute("/tvinfo.ini", test::SilentRoute());
  Reports reports;
  const auto started = std::chrono::steady_clock::now();
  {
    CheckNetVersion worker(Context(), reports.Callbacks());
    ASSERT_TRUE(worker.Start());
    EXPECT_FALSE(worker.Start());  // one at a time
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(worker.Running());
  }
  EXPECT_LT(std::chrono::steady_clock::now() - started, 4s);
  std::lock_guard lock(reports.mutex);
  EXPECT_EQ(reports.finished, 0);
  EXPECT_TRUE(reports.announcements.empty());
}

TEST_F(CheckNetVersionTest, ManualCheckOutcomes) {
  const struct {
    const char* what;
    std::optional<std::string> info;  // none: not served
    UpdateVerdict verdict;
    std::string newest;
  } cases[] = {
      {"equal", "[Current]\nVersion=7.2.0.0\n", UpdateVerdict::UpToDate, "7.2.0.0"},
      {"older", "[Current]\nVersion=7.1.0.0\n", UpdateVerdict::NewerVersion, "7.1.0.0"},
      {"7.2", "[Current]\nVersion=7.2\n", UpdateVerdict::NewerVersion, "7.2"},
      {"missing key", "[Current]\n", UpdateVerdict::NewerVersion, "0"},
      {"not found", std::nullopt, UpdateVerdict::NoInformation, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(served_ / "tvinfo.ini");
    if (c.info) {
      Serve("tvinfo.ini", *c.info);
    }
    const UpdateCheck check = CheckForUpdate(Context());
    EXPECT_EQ(check.verdict, c.verdict);
    if (c.verdict != UpdateVerdict::NoInformation) {
      EXPECT_EQ(check.newest, c.newest);
    }
    EXPECT_TRUE(fs::is_empty(downloads_));
  }
  UpdateContext offline = Context();
  offline.infoEndpointHex = DesEncryptHex(
      "http://127.0.0.1:" + std::to_string(test::ClosedPort()) + "/tvinfo.ini", UpdateKey);
  EXPECT_EQ(CheckForUpdate(offline).verdict, UpdateVerdict::NoInformation);
  offline.infoEndpointHex = "not hex";
  EXPECT_EQ(CheckForUpdate(offline).verdict, UpdateVerdict::NoInformation);
}

}  // namespace
}  // namespace telvanta

namespace telvanta {
namespace {

// The fixed download names must not be reachable by another user.
TEST(DefaultUpdateContextTest, DownloadsGoToAFolderOfTheUsersOwn) {
  TempFolder tmp("telvanta-tmpdir");
  const char* saved = std::getenv("TMPDIR");
  const std::string restore = saved != nullptr ? saved : "";
  ::setenv("TMPDIR", tmp.Path().c_str(), 1);
  const fs::path own = tmp / ("telvanta-" + std::to_string(::getuid()));

  auto context = DefaultUpdateContext();
  ASSERT_TRUE(context.has_value());
  EXPECT_EQ(context->downloadFolder, own);
  EXPECT_EQ(fs::status(own).permissions(), fs::perms::owner_all);
  EXPECT_EQ(DecipherEndpoint(context->infoEndpointHex), TELVANTA_UPDATE_INFO_URL);
  EXPECT_EQ(DecipherEndpoint(context->listEndpointHex), TELVANTA_UPDATE_LIST_URL);

  fs::permissions(own, fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
  ASSERT_TRUE(DefaultUpdateContext().has_value());
  EXPECT_EQ(fs::status(own).permissions(), fs::perms::owner_all);

  fs::remove(own);
  fs::create_directory(tmp / "planted");
  fs::create_directory_symlink(tmp / "planted", own);
  EXPECT_FALSE(DefaultUpdateContext().has_value());

  if (saved != nullptr) {
    ::setenv("TMPDIR", restore.c_str(), 1);
  } else {
    ::unsetenv("TMPDIR");
  }
}

}  // namespace
}  // namespace telvanta
